#include "gen/music/marker_plan.h"

namespace tolvarin::gen::music {

// Tempo 128 throughout: a bar is 1.875 s, 16 rows at speed 6 and 8 rows at
// speed 12 (orders 19 to 21). Times are from the start of the music; scenes
// that run a fixed number of frames first are worked out at 60 fps and hold
// at 30 and 144 fps as noted.
//
// order  bars    syncs (row)     what the picture does
//  0     0-3     0, 32, 48       first picture; LogoZoom's two fly-in syncs
//  1     4-6     16              odd: LogoZoom zooms in and out; the zoom-out sync
//                                at 9.4 s; its cross-fade ends by 11.5 s even at 30 fps
//  2     7       8               even: LightSweep's one sync at 14.1 s (it starts
//                                9.8..11.5 s, so it always counts exactly this one)
//  3     8-9     -               odd: LightSweep ends at 15.0 s; CrossfadeSweep starts
//  4     10-11   0               even: arms CrossfadeSweep
//  5     12-13   -               odd: CrossfadeSweep ends at 22.5 s; RotozoomStrobe
//  6-12  14-23   -               no syncs until the still picture's (it would skip it)
// 13-18  24-27   -               the strobe, 45.0 to 52.5 s
// 19     28-35   8               speed 12; RotozoomStrobe ends at 52.5 s; the still
//                                picture's sync at 54.4 s; StoryText phases 1-4
// 20     36-39   -               story phases 5-8
// 21     40-47   -               credits (A from about 74 s, B holds until order 22)
// 22     48      0               speed 6; ends StoryText at 90.0 s (at 30 fps its
//                                frames run to about 94.4 s: still before order 26)
// 23-25  49-51   -
// 26     52      0, 4, 8, 12     Scene3D phase 1 ends on the fourth, 98.9 s
// 28     54      0               Scene3D phase 2 ...
// 30     56      0               ... ends at 105.0 s; PrototypeText starts
// 32     58      0
// 34     60      0               PrototypeText ends at 112.5 s; Greetings starts
// 35-41  61-67   -               no syncs: at 144 fps Greetings' 800 frames end at
//                                118 s and the next two syncs must be the same as at 60
// 42     68      0               first of Greetings' two syncs, 127.5 s
// 44     70-73   0               the second, and order 44: Greetings ends at 131.25 s
//                                (at 30 fps its frames end at 139.2 s, past order 44)
// 44-46  72-80   every 2 bars    outro under the closing picture; nothing counts
//                                these at 30 to 144 fps, but a slower run that falls
//                                behind still finds syncs to end its scenes. The song
//                                ends at 151.8 s, after CreditsFadeIn at every rate
const std::vector<OrderPlan>& orderPlan() {
  static const std::vector<OrderPlan> plan = [] {
    std::vector<OrderPlan> p;
    p.push_back({64, {0, 32, 48}});  // 0
    p.push_back({48, {16}});         // 1
    p.push_back({16, {8}});          // 2
    p.push_back({32, {}});           // 3
    p.push_back({32, {0}});          // 4
    for (int o = 5; o <= 8; ++o) p.push_back({32, {}});
    for (int o = 9; o <= 14; ++o) p.push_back({16, {}});
    for (int o = 15; o <= 18; ++o) p.push_back({8, {}});
    p.push_back({64, {8}});  // 19
    p.push_back({32, {}});   // 20
    p.push_back({64, {}});   // 21
    for (int o = 22; o <= 43; ++o) p.push_back({16, {}});
    p[22].markers = {0};
    p[26].markers = {0, 4, 8, 12};
    for (int o : {28, 30, 32, 34, 42}) p[static_cast<std::size_t>(o)].markers = {0};
    p.push_back({64, {0, 32}});     // 44
    p.push_back({64, {0, 32}});     // 45
    p.push_back({48, {0, 32}});     // 46
    return p;
  }();
  return plan;
}

}  // namespace tolvarin::gen::music
