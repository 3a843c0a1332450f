// Plays the music the page mixes (16-bit stereo from the program, turned into
// floats by sound.js). Each chunk carries the audio-context frame it is to
// start on, so the page knows exactly when every sample is heard; frames no
// chunk covers play silence.
//
// Loaded twice, as an ES module both times: as the AudioWorklet's module
// (where registerProcessor exists), and imported by sound.js, whose
// ScriptProcessor fallback (no AudioWorklet outside secure contexts) shares
// tolvarinPcmFill.

// Fills left/right (one render block starting at context frame `frame`) from
// `chunks` ({frame, left, right}, in order), dropping chunks already played.
export function tolvarinPcmFill(chunks, frame, left, right) {
  const n = left.length;
  left.fill(0);
  right.fill(0);
  while (chunks.length > 0 && chunks[0].frame + chunks[0].left.length <= frame) chunks.shift();
  for (const c of chunks) {
    if (c.frame >= frame + n) break;
    const from = Math.max(frame, c.frame);
    const to = Math.min(frame + n, c.frame + c.left.length);
    if (to <= from) continue;
    left.set(c.left.subarray(from - c.frame, to - c.frame), from - frame);
    right.set(c.right.subarray(from - c.frame, to - c.frame), from - frame);
  }
}

if (typeof registerProcessor === 'function') {
  registerProcessor('tolvarin-pcm', class extends AudioWorkletProcessor {
    constructor() {
      super();
      this.chunks = [];
      this.port.onmessage = (e) => {
        if (e.data === 'clear') this.chunks = [];
        else this.chunks.push(e.data);
      };
    }

    process(inputs, outputs) {
      const out = outputs[0];
      tolvarinPcmFill(this.chunks, currentFrame, out[0], out[1] || out[0]);
      return true;
    }
  });
}
