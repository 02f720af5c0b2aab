// The per-thread nesting count behind NestingLevel.
#include "nesting.h"

namespace mxs {
namespace {

thread_local int currentDepth = 0;

}  // namespace

NestingLevel::NestingLevel() : depth_(++currentDepth) {}

NestingLevel::~NestingLevel() {
  --currentDepth;
}

ChainLevels::~ChainLevels() {
  currentDepth -= added_;
}

bool ChainLevels::add() {
  ++added_;
  return ++currentDepth > NestingLevel::limit;
}

}  // namespace mxs
