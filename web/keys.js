// The keyboard: Alt+Enter toggles full screen; any other key is the
// viewer's (start, a key for the demo, watch again), except what stays the
// browser's: modifiers alone, Ctrl/Cmd shortcuts, function keys (F5, F11,
// F12), and Esc in full screen, which only leaves it.
import { toggleFullscreen } from './layout.js';

const MODIFIERS = new Set(['Shift', 'Control', 'Alt', 'AltGraph', 'Meta', 'OS', 'CapsLock', 'NumLock', 'ScrollLock', 'Fn',
  'FnLock', 'Hyper', 'Super', 'Symbol', 'SymbolLock']);

let pending = 0; // keys for the demo the program has not taken yet

// Calls onKey() for each key press that is the viewer's.
export function listenForKeys(onKey) {
  window.addEventListener('keydown', (e) => {
    if (e.altKey && e.key === 'Enter') {
      e.preventDefault();
      if (!e.repeat) toggleFullscreen();
      return;
    }
    if (e.repeat || MODIFIERS.has(e.key)) return;
    if (e.ctrlKey || e.metaKey || /^F\d+$/.test(e.key)) return;
    if (e.key === 'Escape' && document.fullscreenElement) return;
    e.preventDefault();
    onKey();
  });
}

// A key press for the running demo, kept until the program polls.
export function keyForDemo() {
  pending += 1;
}

// The program's poll: the key presses since the last one.
export function takeKeys() {
  const n = pending;
  pending = 0;
  return n;
}

export function clearKeys() {
  pending = 0;
}
