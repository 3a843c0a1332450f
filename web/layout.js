// The page's layout: the 320x240 frame at the largest whole multiple that
// fits in device pixels, full screen (the button, a double-click, Alt+Enter
// through keys.js), and the two boxes over the frame: the overlay (loading,
// start, end) and the message box (the program's errors).

export const WIDTH = 320;
export const HEIGHT = 240;

export const el = {
  stage: document.getElementById('stage'),
  canvas: document.getElementById('screen'),
  overlay: document.getElementById('overlay'),
  overlayText: document.getElementById('overlay-text'),
  progress: document.getElementById('progress'),
  progressBar: document.getElementById('progress-bar'),
  message: document.getElementById('message'),
  messageCaption: document.getElementById('message-caption'),
  messageText: document.getElementById('message-text'),
  fullscreen: document.getElementById('fullscreen'),
};

function fit() {
  const dpr = window.devicePixelRatio || 1;
  const scale = Math.max(1, Math.floor(Math.min((window.innerWidth * dpr) / WIDTH, (window.innerHeight * dpr) / HEIGHT)));
  el.canvas.style.width = `${(WIDTH * scale) / dpr}px`;
  el.canvas.style.height = `${(HEIGHT * scale) / dpr}px`;
  el.canvas.dataset.scale = String(scale);
}

// The multiple of 320x240 the canvas shows at now.
export function scale() {
  return Number(el.canvas.dataset.scale);
}

export function toggleFullscreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen().catch(() => {});
  } else if (el.stage.requestFullscreen) {
    el.stage.requestFullscreen().catch(() => {});
  }
}

export function setUpLayout() {
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  fit();
  el.fullscreen.addEventListener('click', (e) => {
    e.stopPropagation();
    toggleFullscreen();
    el.fullscreen.blur(); // keys go on to the demo, not to the button
  });
  el.stage.addEventListener('dblclick', (e) => {
    if (e.target !== el.fullscreen) toggleFullscreen();
  });
}

// The overlay with `text`, a progress bar when `progress` (0..1) is given;
// `clickable` shows the pointer that says a click does something.
export function showOverlay(text, progress, clickable) {
  el.overlayText.textContent = text;
  el.overlay.hidden = false;
  el.overlay.classList.toggle('ready', clickable);
  el.progress.hidden = progress === undefined;
  if (progress !== undefined) el.progressBar.style.width = `${Math.round(progress * 100)}%`;
}

export function hideOverlay() {
  el.overlay.hidden = true;
}

export function showMessage(caption, text) {
  el.messageCaption.textContent = caption;
  el.messageText.textContent = text;
  el.message.hidden = false;
}

export function messageShown() {
  return !el.message.hidden;
}
