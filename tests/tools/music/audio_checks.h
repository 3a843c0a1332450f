#pragma once
// Measurements of rendered music shared by the music and timeline tests:
// peaks and clipping, quiet stretches, band energies, and the integrated
// loudness as ffmpeg's EBU R128 meter reports it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvarin::testing {

inline constexpr int kRate = 44100;

// Interleaved 16-bit stereo at 44100 Hz.
using Pcm = std::vector<std::int16_t>;

// The 16-bit stereo data of a WAV file as our writer makes it; empty if unreadable.
Pcm readWav(const std::string& path);

struct Levels {
  int peak = 0;             // largest magnitude of any sample
  long clipped = 0;         // samples at full scale
  double longestQuiet = 0;  // seconds: longest run of 50 ms windows below -60 dBFS
};
// Over [from, to) seconds; to < 0 means the end.
Levels levels(const Pcm& pcm, double from = 0.0, double to = -1.0);

// Loudness of [from, to) seconds with the K-weighting of ITU-R BS.1770 and
// no gating: comparable to LUFS for passages without silence.
double loudnessDb(const Pcm& pcm, double from, double to);
// Share of the energy of the mono mix between `lowHz` and `highHz`, over
// 4096-sample windows every `hop` seconds in [from, to).
double bandShare(const Pcm& pcm, double lowHz, double highHz, double from, double to, double hop = 0.25);
// Energy of the mono mix between the two frequencies, in dB, same windows.
double bandDb(const Pcm& pcm, double lowHz, double highHz, double from, double to, double hop = 0.25);

// True when the program can be run (a shell finds it).
bool haveProgram(const std::string& name);
// Runs a shell command and returns its standard output (and error).
std::string runCommand(const std::string& command);
// ffmpeg's integrated loudness of a WAV file, in LUFS; empty without ffmpeg.
std::optional<double> integratedLoudness(const std::string& wavPath);

}  // namespace tolvarin::testing
