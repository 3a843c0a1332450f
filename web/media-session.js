// The system's media controls (a notification, the lock screen, a
// keyboard's media keys, a headset's button): the demo's title, its
// makers and a picture, and play/pause, which pause and resume the demo
// as the control bar does. Absent where the browser has no Media Session.
let handlers = null;

export function setUpMediaSession({ play, pause }) {
  handlers = { play, pause };
  if (!('mediaSession' in navigator)) return;
  try {
    navigator.mediaSession.metadata = new MediaMetadata({
      title: 'Tolvarin',
      artist: 'Quarnel',
      album: 'Tolvarin, Quarnel, 2000.',
      artwork: [{ src: 'artwork.png', sizes: '320x240', type: 'image/png' }],
    });
    navigator.mediaSession.setActionHandler('play', play);
    navigator.mediaSession.setActionHandler('pause', pause);
  } catch (e) {
    // an engine with a partial Media Session: the bar still pauses
  }
}

export function mediaPlaying(playing) {
  if ('mediaSession' in navigator) navigator.mediaSession.playbackState = playing ? 'playing' : 'paused';
}

// What a media key does (the tests press it through here).
export function mediaAction(action) {
  if (handlers && handlers[action]) handlers[action]();
}
