// The page's layout: the 320x240 frame scaled to the screen (sharp pixels,
// 4:3 kept), full screen (the button, a double-click, Alt+Enter through
// keys.js), and the boxes over the frame: the overlay (loading, start, end),
// the message box (the program's errors) and the notice line (the sound).
import { options } from './options.js';

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
  notice: document.getElementById('notice'),
  fullscreen: document.getElementById('fullscreen'),
};

// The scale of the picture, in device pixels: a whole multiple of 320x240
// (every pixel the same size), unless that would leave more than a quarter
// of the largest picture that fits unused (a phone: 3x on a 3.66x wide
// screen), where the picture fills that instead; ?scaling forces either.
export function fittingScale(width, height, mode = options.scaling) {
  const fill = Math.max(Math.min(width / WIDTH, height / HEIGHT), 1);
  const whole = Math.floor(fill);
  if (mode === 'fill') return fill;
  if (mode === 'whole') return whole;
  return (whole * whole) / (fill * fill) > 0.75 ? whole : fill;
}

function fit() {
  const dpr = window.devicePixelRatio || 1;
  const scale = fittingScale(window.innerWidth * dpr, window.innerHeight * dpr);
  el.canvas.style.width = `${(WIDTH * scale) / dpr}px`;
  el.canvas.style.height = `${(HEIGHT * scale) / dpr}px`;
  el.canvas.dataset.scale = String(scale);
}

// The multiple of 320x240 the canvas shows at now (device pixels).
export function scale() {
  return Number(el.canvas.dataset.scale);
}

const fullscreenElement = () => document.fullscreenElement || document.webkitFullscreenElement || null;
const fullscreenAvailable = () => Boolean(document.fullscreenEnabled || document.webkitFullscreenEnabled);
const phone = () => window.matchMedia('(pointer: coarse)').matches;

export function toggleFullscreen() {
  if (fullscreenElement()) {
    (document.exitFullscreen || document.webkitExitFullscreen).call(document)?.catch?.(() => {});
    return;
  }
  const request = el.stage.requestFullscreen || el.stage.webkitRequestFullscreen;
  if (!request) return;
  const done = request.call(el.stage);
  // A phone's picture is wide: ask for landscape (refused on most desktops).
  const landscape = () => {
    if (phone() && screen.orientation && screen.orientation.lock) screen.orientation.lock('landscape').catch(() => {});
  };
  if (done && done.then) done.then(landscape, () => {});
  else landscape();
}

export function setUpLayout() {
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  document.addEventListener('webkitfullscreenchange', fit);
  fit();
  // No Fullscreen API (an iPhone's browser): no button that does nothing.
  el.fullscreen.classList.toggle('unavailable', !fullscreenAvailable());
  el.fullscreen.addEventListener('pointerdown', (e) => e.stopPropagation());
  el.fullscreen.addEventListener('click', (e) => {
    e.stopPropagation();
    toggleFullscreen();
    el.fullscreen.blur(); // keys go on to the demo, not to the button
  });
  // A double-click of the mouse; a double tap is two taps for the demo.
  let lastPointer = 'mouse';
  el.stage.addEventListener('pointerdown', (e) => { lastPointer = e.pointerType; }, { capture: true });
  el.stage.addEventListener('dblclick', (e) => {
    if (e.target !== el.fullscreen && lastPointer === 'mouse') toggleFullscreen();
  });
}

// The line about the sound ('' hides it).
export function showNotice(text) {
  el.notice.textContent = text;
  el.notice.hidden = text === '';
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
