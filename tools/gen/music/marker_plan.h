#pragma once
// The order list of 004fin.s3m and the rows that carry sync markers. The
// demo's scenes end on these: sync counts and order numbers (see the table
// in marker_plan.cpp and docs/timeline.md).
#include <vector>

namespace tolvarin::gen::music {

struct OrderPlan {
  int rows;                  // rows this order plays; fewer than 64 end with a pattern break
  std::vector<int> markers;  // rows with a marker note, in order
};

// One entry per order, orders 0, 1, 2, ... in play order.
const std::vector<OrderPlan>& orderPlan();

}  // namespace tolvarin::gen::music
