// The music through Web Audio. The program mixes it (16-bit stereo) when it
// polls framesWanted() and hands it over with push(); the page keeps a lead
// of it queued ahead of the speakers, in an AudioWorklet (pcm-player.js) or,
// where that is missing or ?sound=script asks, a ScriptProcessor. Every
// chunk carries the context frame it plays on, so the page knows when each
// sample is heard, and the program releases the music's syncs by that.
//
// Sound that does not start never stops the demo. When the audio context
// cannot be made, is refused, or its clock does not move within three seconds,
// the music goes on silently on the page's own clock (performance.now()
// less the pauses) with the same lead, as the native program's silent
// stand-in does, and a line says so. A later gesture that gets the context
// running joins the music in at the place the demo has reached. A context
// the system interrupts later (a phone call, another app's sound) holds the
// demo until the viewer's next tap resumes it, so the pictures wait for the
// music instead of running on without it.
import { hold, held, pausedSeconds, release } from './clock.js';
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
// How long a context is given to start its clock (ms) before the music
// goes on silently, and how often a silent page looks whether it has since.
const START_WAIT = 3000;
// How long the player's module (pcm-player.js) may take to load: on a busy
// server or machine it can take seconds, and a player that comes after the
// page went silent is only joined in later.
const PLAYER_WAIT = 10000;
const WATCH_EVERY = 200;
// Firefox computes its output timestamps (the context's currentTime less
// the output latency, stamped with performance.now() when asked), and while
// it does not know the latency yet, every reading of either asks its audio
// server for it with the audio graph locked. A reading that meets the server
// inside a playback callback deadlocks the page for good: seen when the
// music joined in late and the page read the stamps at every poll. There the
// music is timed by currentTime (all the stamps would give), and the latency
// is read seldom: once the clock has run half a second, then every five
// seconds until it is known (Firefox keeps it from then on).
const COMPUTED_STAMPS = /\bFirefox\//.test(navigator.userAgent);
const LATENCY_AFTER = 0.5;
const LATENCY_RETRY_MS = 5000;

export const NO_SOUND = 'no sound: tap to try again';
export const INTERRUPTED = 'sound interrupted: tap to go on';

// The page's own clock (s): the silent music's.
function pageClock() {
  return performance.now() / 1000 - pausedSeconds();
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// `promise`, or undefined after `ms`.
const within = (promise, ms) => Promise.race([promise, sleep(ms)]);

export const sound = {
  context: null,
  node: null, // the AudioWorklet player
  processor: null, // or the ScriptProcessor fallback
  chunks: [], // the fallback's queue
  kind: 'none', // the player: 'audioworklet', 'scriptprocessor' or 'none'
  clockKind: 'page', // what says when the music is heard: 'context' or 'page' (silent)
  why: '', // why the music is silent, when it is
  status: '', // the page's line about the sound: '', NO_SOUND or INTERRUPTED
  onStatus: null, // called with the status when it changes
  base: null, // clock frame (context's or page's) on which stream frame 0 plays
  pushed: 0, // stream frames handed over since the output opened
  playing: false,
  suspendedByPage: false, // the tab is hidden: the page suspended the context itself
  watcher: null,
  stampsWrong: false, // the context's output timestamps are not to be trusted
  latency: 0, // the output's latency as last read, and when (outputLatency())
  latencyReadAt: null,
  joins: 0, // times the music joined in after a silent stretch
  stats: null, // the statistics, when a test asked for them
  gain: null, // the viewer's volume, between the player and the output
  level: 1, // that volume (0..1), muted included

  // In the start gesture: makes and starts the context and its player, and
  // returns when the music's clock is known (three seconds at most, the player's loading aside).
  async prepare() {
    if (!this.context) this.makeContext();
    else this.context.resume().catch(() => {});
    if (!this.context) {
      this.goSilent(this.why);
      return;
    }
    if (this.kind === 'none') await within(this.makePlayer(), PLAYER_WAIT);
    if (this.kind !== 'none' && (await this.whenClockRuns(START_WAIT))) this.useContext();
    else this.goSilent(this.kind === 'none' ? 'no player' : `the audio context stayed ${this.context.state}`);
  },
  makeContext() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
      this.why = 'no Web Audio';
      return;
    }
    try {
      this.context = new Context({ sampleRate: RATE, latencyHint: 'interactive' });
    } catch (e) {
      this.why = `no Web Audio at ${RATE} Hz (${e.message})`;
      return;
    }
    // Called in the gesture itself: Safari and WebKit start a context only then.
    this.context.resume().catch(() => {});
    this.context.addEventListener('statechange', () => this.stateChanged());
  },
  async makePlayer() {
    if (this.context.audioWorklet && !options.scriptProcessor) {
      try {
        await this.context.audioWorklet.addModule(new URL('pcm-player.js', import.meta.url).href);
        this.node = new AudioWorkletNode(this.context, 'tolvarin-pcm', { numberOfInputs: 0, outputChannelCount: [2] });
        this.node.connect(this.output());
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
    this.processor.connect(this.output());
    this.kind = 'scriptprocessor';
  },
  // The viewer's volume stage, made with the player.
  output() {
    this.gain = this.context.createGain();
    this.gain.gain.value = this.level;
    this.gain.connect(this.context.destination);
    return this.gain;
  },
  // The viewer's volume (0..1) and mute. Only the loudness changes: the
  // music goes on being played and timed the same.
  setVolume(volume, muted) {
    this.level = muted ? 0 : Math.min(1, Math.max(0, volume));
    if (this.gain) this.gain.gain.setTargetAtTime(this.level, this.context.currentTime, 0.015);
  },
  // Whether the context's clock moves within `ms`. A context just started
  // reports no output timestamps for a moment, and then ones that leave out
  // the output's latency; the music's timing needs settled ones.
  async whenClockRuns(ms) {
    const c = this.context;
    const from = c.currentTime;
    const end = performance.now() + ms;
    while (performance.now() < end) {
      if (this.clockRuns(from)) return true;
      await sleep(10);
    }
    return false;
  },
  // The context's output timestamp (when its contextTime was heard, on
  // performance.now()'s clock), null when it has none, it is old, or it is
  // not plausible: WebKitGTK's performanceTime runs ahead of
  // performance.now() by the context's own time. One stamp in the future
  // and the context's stamps are left alone for good: its currentTime and
  // latency serve.
  outputStamp() {
    const c = this.context;
    if (this.stampsWrong || COMPUTED_STAMPS || !c.getOutputTimestamp) return null;
    const stamp = c.getOutputTimestamp();
    if (!stamp || !(stamp.performanceTime > 0)) return null;
    const age = performance.now() - stamp.performanceTime;
    // A stamp from long ago: the context stood still (suspended) since.
    if (age > 1000) return null;
    if (age >= -50) return stamp;
    this.stampsWrong = true;
    console.warn(`tolvarin: the audio context's output timestamps are ${Math.round(-age)} ms in the future; timing by its currentTime`);
    return null;
  },
  // The output's latency (s), read at most once a second (Firefox: see
  // COMPUTED_STAMPS).
  outputLatency() {
    const now = performance.now();
    const c = this.context;
    const due = COMPUTED_STAMPS
      ? this.latency === 0 && c.state === 'running' && c.currentTime >= LATENCY_AFTER
        && (this.latencyReadAt === null || now - this.latencyReadAt > LATENCY_RETRY_MS)
      : this.latencyReadAt === null || now - this.latencyReadAt > 1000;
    if (due) {
      this.latencyReadAt = now;
      this.latency = c.outputLatency || 0;
    }
    return this.latency;
  },
  clockRuns(from) {
    const c = this.context;
    if (c.state !== 'running') return false;
    const stamp = this.outputStamp();
    const moved = Math.max(0.2, from + 0.1);
    if (stamp) return stamp.contextTime >= moved;
    return c.currentTime >= moved;
  },

  // --- Which clock the music keeps --------------------------------------------

  setStatus(status) {
    if (status === this.status) return;
    this.status = status;
    if (this.onStatus) this.onStatus(status);
  },
  // The music is heard by the context's clock from now on.
  useContext() {
    this.switchClock('context');
    this.why = '';
    this.setStatus('');
    this.watch();
  },
  // The music goes on silently by the page's clock, from where it is heard.
  goSilent(why) {
    if (this.clockKind !== 'page' || !this.why) console.warn(`tolvarin: ${why}; the music plays silently`);
    this.why = why;
    this.switchClock('page');
    if (held('sound')) release('sound');
    this.setStatus(NO_SOUND);
    this.watch();
  },
  // Changes the clock the stream is placed on, keeping the stream second
  // heard now where it is: the demo goes on from its place in the music.
  // What was queued for the old clock is dropped (the new one's first
  // frames are silent until the next mixed ones reach the speakers).
  switchClock(kind) {
    if (kind === this.clockKind && this.base !== null) return;
    const heard = this.heardNow();
    this.clear();
    this.clockKind = kind;
    if (heard !== null) this.base = (this.heardClock() - heard) * RATE;
    if (kind === 'context' && this.base !== null) this.joins += 1;
  },
  // While the music plays: a silent page joins the context in when its
  // clock moves (after a gesture resumed it); a context that stopped
  // without the page asking holds the demo until a gesture.
  watch() {
    if (this.watcher !== null || !this.context) return;
    let from = this.context.currentTime;
    this.watcher = setInterval(() => {
      const c = this.context;
      if (this.suspendedByPage) return;
      if (this.clockKind === 'page') {
        if (this.clockRuns(from)) this.useContext();
        from = c.currentTime;
      } else if (c.state !== 'running' && !held('sound')) {
        this.interrupted();
      } else if (c.state === 'running' && held('sound') && this.clockRuns(from)) {
        release('sound');
        this.setStatus('');
      }
      if (this.clockKind === 'context' && c.state !== 'running') from = c.currentTime;
    }, WATCH_EVERY);
  },
  stateChanged() {
    if (this.clockKind === 'context' && !this.suspendedByPage && this.context.state !== 'running' && this.playing) {
      this.interrupted();
    }
  },
  interrupted() {
    if (held('sound') || !this.playing) return;
    console.warn(`tolvarin: the audio context is ${this.context.state}; the demo waits for a tap`);
    hold('sound');
    this.setStatus(INTERRUPTED);
  },
  // A viewer's gesture (pointerdown, touchstart, keydown): the moment a
  // browser lets a context start. Returns true when the sound was waiting
  // for it (the demo was held for the sound).
  gesture() {
    const c = this.context;
    if (!c || this.suspendedByPage || c.state === 'running' || c.state === 'closed') return false;
    c.resume().catch(() => {});
    if (!held('sound')) return false;
    // Resumed or not, the demo goes on: with the music when its clock
    // moves within three seconds, silently otherwise.
    this.whenClockRuns(START_WAIT).then((runs) => {
      if (!held('sound')) return;
      if (runs) {
        release('sound');
        this.setStatus('');
      } else {
        this.goSilent(`the audio context stayed ${c.state}`);
      }
    });
    return true;
  },
  // The tab was hidden, or shown again.
  suspend() {
    this.suspendedByPage = true;
    if (this.context) this.context.suspend().catch(() => {});
  },
  // The context is the page's until it runs again, or for a second: one
  // that will not resume by then is treated as interrupted (a tap resumes it).
  async resumeContext() {
    if (this.context) {
      this.context.resume().catch(() => {});
      const end = performance.now() + START_WAIT;
      while (this.context.state !== 'running' && performance.now() < end) await sleep(10);
    }
    this.suspendedByPage = false;
  },
  // Whether the context runs (a page shown again may start without a click).
  running() {
    return this.context !== null && this.context.state === 'running';
  },
  // Seconds on the music's clock: the context's, or the page's own less its pauses.
  clock() {
    return this.clockKind === 'context' ? this.context.currentTime : pageClock();
  },
  state() {
    return this.context ? this.context.state : 'none';
  },
  // The path the sound took, for the statistics and the tests.
  path() {
    return { player: this.kind, clock: this.clockKind, state: this.state(), why: this.why, joins: this.joins,
      timing: this.clockKind !== 'context' ? 'performance.now'
        : this.stampsWrong || COMPUTED_STAMPS || !this.context.getOutputTimestamp ? 'currentTime' : 'output timestamps',
      latency: this.context ? this.outputLatency() || this.context.baseLatency || 0 : 0 };
  },
  clear() {
    this.chunks = [];
    if (this.node) this.node.port.postMessage('clear');
  },
  end() {
    if (this.watcher !== null) clearInterval(this.watcher);
    this.watcher = null;
    this.setStatus('');
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
  // The music-clock time being rendered now. The context's currentTime
  // only moves between the page's tasks, so inside a long one (the
  // program's start-up) it lags; its output timestamp read against
  // performance.now() does not.
  renderingNow() {
    if (this.clockKind !== 'context') return pageClock();
    const c = this.context;
    const stamp = this.outputStamp();
    if (!stamp) return c.currentTime;
    const heard = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
    return Math.max(c.currentTime, heard + this.outputLatency());
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
  // When a music-clock time reaches the speakers, in performance.now() ms.
  heardAt(t) {
    if (this.clockKind !== 'context') return performance.now() + (t - pageClock()) * 1000;
    const c = this.context;
    const stamp = this.outputStamp();
    if (stamp) return stamp.performanceTime + (t - stamp.contextTime) * 1000;
    return performance.now() + (t - c.currentTime + (this.outputLatency() || c.baseLatency || 0)) * 1000;
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
  // The music-clock time heard at this moment.
  heardClock() {
    if (this.clockKind !== 'context') return pageClock();
    // heardAt is linear in t: solve heardAt(t) = now.
    const t0 = this.context.currentTime;
    // Nothing is heard before it is rendered (a suspended context's
    // timestamps stand still while performance.now() goes on).
    return Math.min(t0 + (performance.now() - this.heardAt(t0)) / 1000, t0);
  },
  // The stream second heard at this moment, null before the first sound.
  heardNow() {
    if (this.base === null) return null;
    return this.heardClock() - this.base / RATE;
  },
  push(heap16, index, frames) {
    const frame = Math.round(this.base + this.pushed);
    this.pushed += frames;
    // Silent: the music is consumed at its pace and goes nowhere.
    if (this.clockKind !== 'context') return;
    const left = new Float32Array(frames);
    const right = new Float32Array(frames);
    for (let i = 0; i < frames; i += 1) {
      left[i] = heap16[index + 2 * i] / 32768;
      right[i] = heap16[index + 2 * i + 1] / 32768;
    }
    const chunk = { frame, left, right };
    if (this.node) this.node.port.postMessage(chunk, [left.buffer, right.buffer]);
    else if (this.processor) this.chunks.push(chunk);
  },
};
