// The demo's page. It loads the program (tolvarin-page.js, .wasm, .data),
// waits for a click or a key (browsers allow sound only after a gesture),
// runs the program with the options of the URL, and serves the program's
// page backend (src/platform/web_backends.cpp) through `tolvarinPage`:
// frames on the canvas at the browser's animation frames, keys, the sound
// through Web Audio, message boxes.
//
// URL options: ?fps=N (0 = unpaced), ?start=WHERE, ?until=T, ?trace (trace
// lines on the console), ?autostart (no click first; the browser must allow
// sound already), ?headless (virtual time and no sound; frame hashes on the
// console), ?sound=script (the ScriptProcessor path even where AudioWorklet
// exists).
'use strict';

(function () {
  const WIDTH = 320;
  const HEIGHT = 240;
  const RATE = 44100;
  // Sound mixed ahead of the speakers (s): the queue is topped up to LEAD
  // when it falls below LEAD - REFILL; at the start, and after a stall that
  // let it run dry, the music goes on START_LEAD from now.
  const LEAD = 0.25;
  const REFILL = 0.05;
  const START_LEAD = 0.3;
  const MIN_LEAD = 0.02;

  const params = new URLSearchParams(location.search);
  const options = {
    headless: params.has('headless'),
    until: params.get('until'),
    fps: params.get('fps'),
    start: params.get('start'),
    trace: params.has('trace'),
    autostart: params.has('autostart') || params.has('headless'),
    scriptProcessor: params.get('sound') === 'script',
  };
  const targetFps = options.fps !== null && /^\d+$/.test(options.fps) ? Number(options.fps) : null;

  const el = {
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
  const g = el.canvas.getContext('2d', { alpha: false });
  g.fillStyle = '#000';
  g.fillRect(0, 0, WIDTH, HEIGHT);

  // loading -> ready -> running -> ended (-> loading: watch again) | failed
  let phase = 'loading';
  let startWhenReady = options.autostart;
  let exitCode = null;
  let programMessages = [];
  // Set by watchAgain() across the reload (storage may be refused: then the
  // click is asked again).
  let again = false;
  try {
    again = sessionStorage.getItem('tolvarin-again') === '1';
    sessionStorage.removeItem('tolvarin-again');
  } catch (e) {
    again = false;
  }

  // --- Layout: the largest whole multiple of 320x240 in device pixels -------

  function fit() {
    const dpr = window.devicePixelRatio || 1;
    const scale = Math.max(1, Math.floor(Math.min((window.innerWidth * dpr) / WIDTH, (window.innerHeight * dpr) / HEIGHT)));
    el.canvas.style.width = `${(WIDTH * scale) / dpr}px`;
    el.canvas.style.height = `${(HEIGHT * scale) / dpr}px`;
    el.canvas.dataset.scale = String(scale);
  }
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  fit();

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else if (el.stage.requestFullscreen) {
      el.stage.requestFullscreen().catch(() => {});
    }
  }
  el.fullscreen.addEventListener('click', (e) => {
    e.stopPropagation();
    toggleFullscreen();
    el.fullscreen.blur(); // keys go on to the demo, not to the button
  });
  el.stage.addEventListener('dblclick', (e) => {
    if (e.target !== el.fullscreen) toggleFullscreen();
  });

  function showOverlay(text, progress) {
    el.overlayText.textContent = text;
    el.overlay.hidden = false;
    el.overlay.classList.toggle('ready', phase === 'ready' || phase === 'ended');
    el.progress.hidden = progress === undefined;
    if (progress !== undefined) el.progressBar.style.width = `${Math.round(progress * 100)}%`;
  }
  function hideOverlay() {
    el.overlay.hidden = true;
  }
  function showMessage(caption, text) {
    el.messageCaption.textContent = caption;
    el.messageText.textContent = text;
    el.message.hidden = false;
  }

  // --- The clock's pauses: a hidden tab stops the demo and its music --------

  let pausedMs = 0;
  let hiddenSince = null;
  function pausedSecondsNow() {
    return (pausedMs + (hiddenSince !== null ? performance.now() - hiddenSince : 0)) / 1000;
  }
  document.addEventListener('visibilitychange', () => {
    if (phase !== 'running' || options.headless) return;
    if (document.hidden && hiddenSince === null) {
      hiddenSince = performance.now();
      if (sound.context) sound.context.suspend().catch(() => {});
    } else if (!document.hidden && hiddenSince !== null) {
      pausedMs += performance.now() - hiddenSince;
      hiddenSince = null;
      if (sound.context) sound.context.resume().catch(() => {});
    }
  });

  // --- Keys ------------------------------------------------------------------

  const MODIFIERS = new Set(['Shift', 'Control', 'Alt', 'AltGraph', 'Meta', 'OS', 'CapsLock', 'NumLock', 'ScrollLock', 'Fn', 'FnLock', 'Hyper', 'Super', 'Symbol', 'SymbolLock']);
  let keyPresses = 0;
  window.addEventListener('keydown', (e) => {
    if (e.altKey && e.key === 'Enter') {
      e.preventDefault();
      if (!e.repeat) toggleFullscreen();
      return;
    }
    if (e.repeat || MODIFIERS.has(e.key)) return;
    // Browser shortcuts and function keys (F11, F5, F12) stay the browser's;
    // Esc in full screen only leaves it.
    if (e.ctrlKey || e.metaKey || /^F\d+$/.test(e.key)) return;
    if (e.key === 'Escape' && document.fullscreenElement) return;
    e.preventDefault();
    if (phase === 'ready') start();
    else if (phase === 'running') keyPresses += 1;
    else if (phase === 'ended') watchAgain();
  });
  el.overlay.addEventListener('click', () => {
    if (phase === 'ready') start();
    else if (phase === 'ended') watchAgain();
  });

  // --- Speed: the program's drawing time per frame, frames the browser skipped

  const stats = {
    scene: '',
    scenes: new Map(), // name -> {draw: [ms...], skipped, frames}
    skips: [], // {at: seconds since the start, frames}
    active: 0, // ms the program ran since the last frame, without its waits
    resumedAt: performance.now(),
    waited: false, // a busy wait yielded since the last frame (the strobe's hold)
    lastFrameAt: null,
    lastPaused: 0,
    deltas: [],
    interval: 1000 / 60,
    startedAt: 0,
  };
  function sceneStats() {
    const name = stats.scene || '(start)';
    if (!stats.scenes.has(name)) stats.scenes.set(name, { draw: [], skipped: 0, frames: 0 });
    return stats.scenes.get(name);
  }
  function enterWait() {
    stats.active += performance.now() - stats.resumedAt;
  }
  function leaveWait() {
    stats.resumedAt = performance.now();
  }
  // A frame became visible at animation-frame time `t`.
  function frameShown(t, drawMs) {
    const s = sceneStats();
    s.frames += 1;
    // The first frame's time holds the program's start-up.
    if (stats.lastFrameAt !== null) s.draw.push(drawMs);
    const paused = pausedSecondsNow();
    if (stats.lastFrameAt !== null && paused === stats.lastPaused) {
      const gap = t - stats.lastFrameAt;
      if (gap > 0) {
        stats.deltas.push(gap);
        if (stats.deltas.length > 120) stats.deltas.shift();
        stats.interval = Math.max(4, Math.min(...stats.deltas));
      }
      const period = Math.max(stats.interval, targetFps ? 1000 / targetFps : 0);
      const missed = Math.round(gap / period) - 1;
      if (missed > 0 && !stats.waited) {
        s.skipped += missed;
        stats.skips.push({ at: (performance.now() - stats.startedAt) / 1000, frames: missed, scene: stats.scene });
      }
    }
    stats.lastFrameAt = t;
    stats.lastPaused = paused;
    stats.waited = false;
  }

  // --- Frames ----------------------------------------------------------------

  let image = null;
  let imageFor = null;
  let nextDue = null; // ?fps: when the next frame is due (animation-frame time)
  let waitingSince = Infinity; // when the running busy wait began (none: Infinity)
  const wakeChannel = new MessageChannel();
  const wakeQueue = [];
  wakeChannel.port1.onmessage = () => wakeQueue.shift()();
  // Resumes in a task of its own, so the browser paints in between.
  function nextTask() {
    return new Promise((resolve) => {
      wakeQueue.push(resolve);
      wakeChannel.port2.postMessage(0);
    });
  }
  function animationFrame() {
    return new Promise((resolve) => requestAnimationFrame(resolve));
  }
  function putFrame(heap, ptr) {
    if (!image || imageFor.buffer !== heap.buffer || imageFor.ptr !== ptr) {
      image = new ImageData(new Uint8ClampedArray(heap.buffer, ptr, WIDTH * HEIGHT * 4), WIDTH, HEIGHT);
      imageFor = { buffer: heap.buffer, ptr };
    }
    g.putImageData(image, 0, 0);
  }

  const page = {
    open(title) {
      document.title = title;
    },
    close() {},
    async show(heap, ptr) {
      waitingSince = Infinity;
      enterWait();
      const drawMs = stats.active;
      stats.active = 0;
      if (targetFps === 0) {
        // Unpaced: the browser shows the newest frame at its next refresh.
        putFrame(heap, ptr);
        frameShown(performance.now(), drawMs);
        await nextTask();
      } else {
        let t = await animationFrame();
        if (targetFps) {
          const period = 1000 / targetFps;
          if (nextDue === null || t - nextDue > 3 * period) nextDue = t;
          while (t < nextDue - stats.interval / 2) t = await animationFrame();
          nextDue += period;
        }
        putFrame(heap, ptr);
        frameShown(t, drawMs);
        await nextTask();
      }
      leaveWait();
    },
    // A busy wait's poll. For its first half second the program gets
    // control back at once (the wait for a sync releases it within a
    // millisecond or two); a longer wait (the closing picture's wait for
    // the last key) goes by timers, which leave the processor alone.
    async yieldToBrowser() {
      // What ran since the last frame was this wait's polling, not drawing:
      // the next frame's drawing time starts when the wait ends.
      enterWait();
      stats.active = 0;
      stats.waited = true;
      if (waitingSince === Infinity) waitingSince = performance.now();
      if (performance.now() - waitingSince < 500) await nextTask();
      else await new Promise((resolve) => setTimeout(resolve, 5));
      leaveWait();
    },
    takeKeys() {
      const n = keyPresses;
      keyPresses = 0;
      return n;
    },
    pausedSeconds: pausedSecondsNow,
    message(caption, text) {
      console.error(`${caption}: ${text}`);
      showMessage(caption, text);
    },
  };

  // --- Sound: Web Audio, fed from the program's polls -------------------------

  const sound = {
    context: null,
    node: null, // the AudioWorklet player
    processor: null, // or the ScriptProcessor fallback
    chunks: [], // the fallback's queue
    kind: 'none',
    base: null, // context frame on which stream frame 0 plays
    pushed: 0, // stream frames handed over since the output opened
    playing: false,
    underruns: 0,

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
          await this.context.audioWorklet.addModule('pcm-player.js');
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
    // Seconds on the output's clock: the context's, or without one the
    // page's own clock less its pauses (the music then plays silently).
    clock() {
      return this.context ? this.context.currentTime : performance.now() / 1000 - pausedSecondsNow();
    },
    clear() {
      this.chunks = [];
      if (this.node) this.node.port.postMessage('clear');
    },
    open() {
      this.clear();
      this.base = null;
      this.pushed = 0;
      this.playing = false;
      this.underruns = 0;
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
        if (this.base !== null) this.underruns += 1;
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
      const t = this.heardNow();
      return t === null ? -1 : t;
    },
    // The stream second heard at this moment (the audio clock the tests read).
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
  page.sound = sound;

  // --- The program's output ----------------------------------------------------

  const syncs = []; // {t: demo time, heard: stream second heard when traced}
  function traceLine(line) {
    console.log(line);
    let event;
    try {
      event = JSON.parse(line);
    } catch (e) {
      return;
    }
    if (event.event === 'begin' && event.scene && !event.scene.includes('.')) stats.scene = event.scene;
    if (event.event === 'sync') syncs.push({ t: event.t, heard: sound.heardNow(), at: performance.now() });
  }
  function stderrLine(line) {
    if (line.startsWith('{"t":')) {
      traceLine(line);
    } else {
      console.warn(line);
      programMessages.push(line);
    }
  }

  function programArguments() {
    const args = [];
    if (options.headless) args.push('--headless', '--quiet', '--frame-hashes', '/dev/stdout');
    if (options.until !== null) args.push('--until', options.until);
    if (options.fps !== null) args.push('--fps', options.fps);
    if (options.start !== null) args.push('--start', options.start);
    if (options.trace) args.push('--trace', '-');
    return args;
  }

  function fail(text) {
    if (phase === 'failed') return;
    phase = 'failed';
    hideOverlay();
    console.error(`tolvarin: ${text}`);
    if (el.message.hidden) showMessage('The demo stopped', text);
  }

  function programEnded(code) {
    if (phase !== 'running') return;
    exitCode = code;
    if (code !== 0) {
      phase = 'failed';
      console.error(`tolvarin: the program ended with exit code ${code}`);
      if (el.message.hidden) {
        showMessage('The demo stopped', programMessages.join('\n') || `exit code ${code}`);
      }
      return;
    }
    phase = 'ended';
    if (options.headless) showOverlay('done');
    else showOverlay('press a key to watch again');
  }

  function makeModule() {
    return {
      noInitialRun: true,
      print: (line) => console.log(line),
      printErr: stderrLine,
      setStatus: (text) => {
        const m = /\((\d+)\/(\d+)\)/.exec(text || '');
        if (phase === 'loading') showOverlay('loading…', m ? Number(m[1]) / Number(m[2]) : 0);
      },
      onRuntimeInitialized: async () => {
        phase = 'ready';
        if (!startWhenReady && again) {
          // Watching again: the key that asked for it reloaded the page; the
          // sound may start without a new gesture, or else the click is asked.
          await sound.prepare();
          startWhenReady = sound.context !== null && sound.context.state === 'running';
        }
        if (startWhenReady) start();
        else showOverlay('click or press a key to start');
      },
      onExit: programEnded,
      // main's return after the program waited for the browser (main.cpp).
      onMainEnd: programEnded,
      onAbort: (what) => fail(`the program stopped: ${what}`),
    };
  }

  // The page's own failures while loading (the .wasm or .data not found).
  window.addEventListener('error', (e) => {
    if (phase === 'loading') fail(`could not load the demo: ${e.message}`);
  });

  function loadProgram() {
    phase = 'loading';
    showOverlay('loading…', 0);
    window.Module = makeModule();
    const script = document.createElement('script');
    script.src = 'tolvarin-page.js';
    script.onerror = () => fail('could not load the demo: tolvarin-page.js not found');
    document.body.appendChild(script);
  }

  async function start() {
    if (phase !== 'ready') return;
    phase = 'starting';
    hideOverlay();
    if (!options.headless) await sound.prepare();
    pausedMs = 0;
    hiddenSince = null;
    keyPresses = 0;
    programMessages = [];
    stats.startedAt = performance.now();
    stats.resumedAt = performance.now();
    stats.lastFrameAt = null;
    nextDue = null;
    waitingSince = Infinity;
    phase = 'running';
    if (options.headless) showOverlay('rendering in virtual time…');
    // Lets the overlay change paint before a headless run holds the page.
    await animationFrame();
    try {
      window.Module.callMain(programArguments());
    } catch (e) {
      fail(String(e));
    }
  }

  // A fresh page runs the program again (an ended program's runtime cannot
  // be started twice); the URL's options stay.
  function watchAgain() {
    phase = 'loading';
    try {
      sessionStorage.setItem('tolvarin-again', '1');
    } catch (e) {
      // no storage: the reloaded page asks for a click
    }
    location.reload();
  }

  // What the tests read.
  page.inspect = () => ({
    phase,
    exitCode,
    scale: Number(el.canvas.dataset.scale),
    paused: pausedSecondsNow(),
    audio: {
      kind: sound.kind,
      state: sound.context ? sound.context.state : 'none',
      time: sound.clock(),
      underruns: sound.underruns,
      pushed: sound.pushed,
    },
    syncs: syncs.slice(),
    interval: stats.interval,
    skips: stats.skips.slice(),
    scenes: Array.from(stats.scenes, ([name, s]) => ({ name, frames: s.frames, skipped: s.skipped, draw: s.draw.slice() })),
  });

  window.tolvarinPage = page;
  loadProgram();
})();
