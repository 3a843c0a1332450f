// tolvarin: the demo. With no options it opens a window and plays in real
// time; --headless renders in virtual time (see --help).
#include <csignal>
#include <cstdio>
#include <memory>

#include "app/demo_sequence.h"
#include "app/flash_report.h"
#include "app/options.h"
#include "app/startup_objects.h"
#include "audio/module_audio.h"
#include "flash/calm_filter.h"
#include "platform/backends.h"
#include "platform/data_files.h"
#include "platform/frame_sinks.h"
#include "platform/progress_meter.h"
#include "platform/runtime.h"
#include "platform/target.h"
#include "platform/wav_writer.h"

namespace {

tolvarin::Runtime* g_runtime = nullptr;

void onSignal(int) {
  // Ends the run the way closing the window does: every scene ends at once.
  if (g_runtime != nullptr) g_runtime->requestClose();
}

int run(int argc, char** argv);

}  // namespace

int main(int argc, char** argv) {
  const int code = run(argc, argv);
  tolvarin::announceExit(code);
  return code;
}

namespace {

int run(int argc, char** argv) {
  using namespace tolvarin;
  attachToTerminal();
  ProgramOptions opt;
  if (auto code = parseOptions(argc, argv, opt)) return *code;

  std::unique_ptr<PixelBackend> backend;
  if (opt.headless) {
    backend = std::make_unique<HeadlessBackend>();
  } else {
    std::string reason;
    if (!windowAvailable(reason)) {
      std::fprintf(stderr, "tolvarin: no display found (%s); try %s\n", reason.c_str(),
                   canStartPrograms() ? "--headless --record FILE" : "--headless");
      return 1;
    }
    backend = makeWindow(WindowOptions{opt.scale, opt.fullscreen, true, opt.fps});
  }

  auto audio = opt.headless ? std::make_unique<ModuleAudio>() : std::make_unique<ModuleAudio>(makeSoundDevice());
  audio->setVolume(opt.volume);
  std::shared_ptr<WavWriter> wav;
  if (!opt.wav.empty()) {
    wav = std::make_shared<WavWriter>();
    if (!wav->open(opt.wav)) {
      std::fprintf(stderr, "tolvarin: cannot write %s\n", opt.wav.c_str());
      return 1;
    }
    audio->addPcmSink(wav);
  }
  std::unique_ptr<VideoRecorder> recorder;
  if (!opt.record.empty()) {
    recorder = std::make_unique<VideoRecorder>(opt.record, opt.fps, opt.recordScale);
    if (!recorder->start()) return 1;
    audio->addPcmSink(recorder->soundSink());
  }

  RuntimeConfig config;
  config.mode = opt.headless ? TimeMode::Virtual : TimeMode::Real;
  config.fps = opt.fps;
  config.keyTimes = opt.keys;
  config.until = opt.until;
  config.avOffset = opt.avOffsetMs / 1000.0;
  SequenceOptions sequence;
  sequence.passes = opt.passes;
  sequence.usage = opt.usage;
  if (opt.start) {
    if (opt.start->step > 0) {
      config.startAtMark = true;
      sequence.startStep = opt.start->step;
    } else {
      config.startTime = opt.start->time;
      sequence.startTime = opt.start->time;
    }
  }
  Runtime runtime(config, std::move(backend), std::move(audio));
  RuntimeScope scope(runtime);
  g_runtime = &runtime;
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);

  if (!opt.trace.empty()) {
    const bool ok = runtime.tracer().open(opt.trace, [&runtime] {
      return TraceStamp{runtime.now(), runtime.framesPresented(), runtime.musicPositionNow()};
    });
    if (!ok) {
      std::fprintf(stderr, "tolvarin: cannot write the trace %s\n", opt.trace.c_str());
      return 1;
    }
  }
  if (!opt.frameHashes.empty()) {
    auto hashes = std::make_unique<FrameHashSink>();
    if (!hashes->open(opt.frameHashes)) {
      std::fprintf(stderr, "tolvarin: cannot write %s\n", opt.frameHashes.c_str());
      return 1;
    }
    runtime.addFrameSink(std::move(hashes));
  }
  if (!opt.flashReport.empty()) {
    auto report = std::make_unique<FlashReportSink>(opt.fps);
    if (!report->open(opt.flashReport)) {
      std::fprintf(stderr, "tolvarin: cannot write %s\n", opt.flashReport.c_str());
      return 1;
    }
    runtime.addFrameSink(std::move(report));
  }
  std::unique_ptr<CalmFilter> calm;
  if (opt.calm) {
    calm = std::make_unique<CalmFilter>();
    runtime.setFrameFilter([filter = calm.get()](const Pixel* frame, double time) { return filter->apply(frame, time); });
  }
  if (!opt.shots.empty()) {
    std::vector<ScreenshotSink::Shot> shots;
    for (const auto& s : opt.shots) shots.push_back({s.time, s.path});
    runtime.addFrameSink(std::make_unique<ScreenshotSink>(std::move(shots)));
  }
  if (recorder) runtime.addFrameSink(std::move(recorder));
  if (opt.headless && !opt.quiet && stderrIsTerminal()) {
    runtime.addFrameSink(std::make_unique<ProgressMeter>(stderr, [&runtime] { return runtime.audio().musicEndsAt(); }));
  }

  int code = 0;
  {
    const DataFiles data(opt.dataDir);
    StartupObjects objects(data);
    code = demoSequence(data, sequence);
  }
  if (!runtime.finish() && code == 0) code = 1;
  if (runtime.stoppedByLimit()) {
    std::fprintf(stderr, "tolvarin: stopped: a pass of the demo went on for %.0f s of demo time without ending\n",
                 config.passTimeLimit);
    if (code == 0) code = 1;
  }
  if (wav && !wav->close() && code == 0) {
    std::fprintf(stderr, "tolvarin: writing %s failed\n", opt.wav.c_str());
    code = 1;
  }
  g_runtime = nullptr;
  return code;
}

}  // namespace
