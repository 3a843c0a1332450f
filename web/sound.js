// The music through Web Audio. The program mixes it (16-bit stereo) when it
// polls framesWanted() and hands it over with push(); the page keeps a lead
// of it queued ahead of the speakers, in an AudioWorklet (pcm-player.js) or,
// where that is missing or ?sound=script asks, a ScriptProcessor. Every
// chunk carries the context frame it plays on, so the page knows when each
// sample is heard, and the program releases the music's syncs by that.
import { pausedSeconds } from './clock.js';
import { options } from './options.js';
import { tolvarinPcmFill } from './pcm-player.js';

const RATE = 44100;
// Sound mixed ahead of the speakers (s): the queue is topped up to LEAD
// when it falls below LEAD - REFILL; at the start, and after a stall that
// let it run dry, the music goes on START_LEAD from now.
const LEAD = 0.25;
const REFILL = 0.05;
const START_LEAD = 0.3;
const MIN_LEAD = 0.02;

export const sound = {
  context: null,
  node: null, // the AudioWorklet player
  processor: null, // or the ScriptProcessor fallback
  chunks: [], // the fallback's queue
  kind: 'none', // the path taken: 'audioworklet', 'scriptprocessor' or 'none'
  base: null, // context frame on which stream frame 0 plays
  pushed: 0, // stream frames handed over since the output opened
  playing: false,
  stats: null, // the statistics, when a test asked for them

  // In the start gesture: creates and starts the context, then the player.
  async prepare() {
    if (this.context) {
      await this.context.resume().catch(() => {});
      return;
    }
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    try {
      this.context = new Context({ sampleRate: RATE, latencyHint: 'interactive' });
    } catch (e) {
      console.warn(`tolvarin: no Web Audio at ${RATE} Hz (${e.message}); the music plays silently`);
      return;
    }
    this.context.resume().catch(() => {});
    await this.whenClockRuns();
    if (this.context.audioWorklet && !options.scriptProcessor) {
      try {
        await this.context.audioWorklet.addModule(new URL('pcm-player.js', import.meta.url).href);
        this.node = new AudioWorkletNode(this.context, 'tolvarin-pcm', { numberOfInputs: 0, outputChannelCount: [2] });
        this.node.connect(this.context.destination);
        this.kind = 'audioworklet';
        return;
      } catch (e) {
        console.warn(`tolvarin: AudioWorklet failed (${e.message}); using a ScriptProcessor`);
      }
    }
    this.processor = this.context.createScriptProcessor(2048, 0, 2);
    this.processor.onaudioprocess = (e) => {
      const frame = Math.round(e.playbackTime * this.context.sampleRate);
      tolvarinPcmFill(this.chunks, frame, e.outputBuffer.getChannelData(0), e.outputBuffer.getChannelData(1));
    };
    this.processor.connect(this.context.destination);
    this.kind = 'scriptprocessor';
  },
  // A context just started reports no output timestamps for a moment, and
  // then ones that leave out the output's latency; the first sound's timing
  // needs settled ones (a second at most, then without).
  async whenClockRuns() {
    for (let i = 0; i < 100; i += 1) {
      const stamp = this.context.getOutputTimestamp ? this.context.getOutputTimestamp() : null;
      if (this.context.state === 'running' && (!stamp || (stamp.performanceTime > 0 && stamp.contextTime > 0.2))) return;
      await new Promise((resolve) => setTimeout(resolve, 10));
    }
  },
  // The tab was hidden, or shown again.
  suspend() {
    if (this.context) this.context.suspend().catch(() => {});
  },
  resumeContext() {
    if (this.context) this.context.resume().catch(() => {});
  },
  // Seconds on the output's clock: the context's, or without one the
  // page's own clock less its pauses (the music then plays silently).
  clock() {
    return this.context ? this.context.currentTime : performance.now() / 1000 - pausedSeconds();
  },
  state() {
    return this.context ? this.context.state : 'none';
  },
  clear() {
    this.chunks = [];
    if (this.node) this.node.port.postMessage('clear');
  },

  // --- What the program calls (contract.js) ---------------------------------

  open() {
    this.clear();
    this.base = null;
    this.pushed = 0;
    this.playing = false;
  },
  resume() {
    this.playing = true;
  },
  pause() {
    this.playing = false;
  },
  close() {
    this.playing = false;
    this.clear();
  },
  // The output-clock time being rendered now. The context's currentTime
  // only moves between the page's tasks, so inside a long one (the
  // program's start-up) it lags; its output timestamp read against
  // performance.now() does not.
  renderingNow() {
    const c = this.context;
    if (!c) return this.clock();
    const stamp = c.getOutputTimestamp ? c.getOutputTimestamp() : null;
    if (!stamp || !(stamp.performanceTime > 0)) return c.currentTime;
    const heard = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
    return Math.max(c.currentTime, heard + (c.outputLatency || 0));
  },
  framesWanted() {
    if (!this.playing) return 0;
    const now = this.renderingNow() * RATE;
    if (this.base === null || this.base + this.pushed < now + MIN_LEAD * RATE) {
      // The start, or the queue ran dry (the page stalled): the sound goes
      // on a little ahead, with a whole lead mixed at once. The program
      // polls seldom right after its first mixing (the browser compiles
      // the mixer then), so the first rows are due only after that.
      if (this.base !== null && this.stats) this.stats.underrun();
      this.base = Math.ceil(now + START_LEAD * RATE) - this.pushed;
      return Math.ceil(LEAD * RATE);
    }
    const queued = this.base + this.pushed - now;
    return queued < (LEAD - REFILL) * RATE ? Math.ceil(LEAD * RATE - queued) : 0;
  },
  // When an output-clock time reaches the speakers, in performance.now() ms.
  heardAt(t) {
    const c = this.context;
    if (!c) return performance.now() + (t - this.clock()) * 1000;
    const stamp = c.getOutputTimestamp ? c.getOutputTimestamp() : null;
    if (stamp && stamp.performanceTime > 0) return stamp.performanceTime + (t - stamp.contextTime) * 1000;
    return performance.now() + (t - c.currentTime + (c.outputLatency || c.baseLatency || 0)) * 1000;
  },
  secondsUntilHeard() {
    return (this.heardAt((this.base + this.pushed) / RATE) - performance.now()) / 1000;
  },
  // The stream second heard at this moment (-1 before the first sound):
  // the program releases the music's rows by it.
  heardSeconds() {
    const now = this.heardNow();
    const t = now === null ? -1 : now;
    if (this.stats) this.stats.heardRead(t);
    return t;
  },
  // The stream second heard at this moment, null before the first sound.
  heardNow() {
    if (this.base === null) return null;
    const now = performance.now();
    // heardAt is linear in t: solve heardAt(t) = now.
    const t0 = this.clock();
    // Nothing is heard before it is rendered (a suspended context's
    // timestamps stand still while performance.now() goes on).
    const t = Math.min(t0 + (now - this.heardAt(t0)) / 1000, t0);
    return t - this.base / RATE;
  },
  push(heap16, index, frames) {
    const left = new Float32Array(frames);
    const right = new Float32Array(frames);
    for (let i = 0; i < frames; i += 1) {
      left[i] = heap16[index + 2 * i] / 32768;
      right[i] = heap16[index + 2 * i + 1] / 32768;
    }
    const chunk = { frame: this.base + this.pushed, left, right };
    this.pushed += frames;
    if (this.node) this.node.port.postMessage(chunk, [left.buffer, right.buffer]);
    else if (this.processor) this.chunks.push(chunk);
  },
};
