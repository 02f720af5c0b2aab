// Scene nodes, cameras and the multi-pass effect that blurs a camera's picture over passes.
#include "scene/scene_nodes.h"

#include "core/injected_faults.h"
#include "scene/scene.h"

#include "max.h"

#include "bmmlib.h"

#include <cmath>
#include <vector>

namespace standin {

MultiPassEffect::MultiPassEffect(Class_ID id, int passes, float spread, int timeSpread,
                                 const Scene* scene)
    : id_(id),
      passes_(passes < 1 ? 1 : passes),
      spread_(spread),
      timeSpread_(timeSpread),
      scene_(scene) {}

int MultiPassEffect::TotalPasses(TimeValue) {
  return passes_;
}

ViewParams* MultiPassEffect::Apply(INode*, CameraObject* cameraObject, int passNum,
                                   TimeValue& time) {
  view_ = ViewParams();
  if (auto* camera = dynamic_cast<SceneCamera*>(cameraObject)) {
    view_.panX = camera->panX();
    view_.panY = camera->panY();
  }
  // Pass 0 looks straight through the camera; the others sit on a circle around it.
  if (passNum > 0 && passes_ > 1) {
    const double angle = 2.0 * M_PI * (passNum - 1) / (passes_ - 1);
    view_.panX += spread_ * static_cast<float>(std::cos(angle));
    view_.panY += spread_ * static_cast<float>(std::sin(angle));
  }
  time += timeSpread_ * passNum / passes_;
  ++pendingPasses_;
  return &view_;
}

void MultiPassEffect::AccumulateBitmap(Bitmap* destination, Bitmap* source, int passNum,
                                       TimeValue t) {
  // Before anything is allocated here: the frames a trapped fault abandons run no destructors.
  if (scene_) {
    const int frame = static_cast<int>(std::floor(static_cast<double>(t) / scene_->ticksPerFrame));
    if (const SceneFault* fault = scene_->processorFault(SceneFault::Place::Accumulate, frame)) {
      raiseFault(fault->processor);
    }
  }
  if (!destination || !source) return;
  const int width = std::min(destination->Width(), source->Width());
  const int height = std::min(destination->Height(), source->Height());
  const float keep = static_cast<float>(passNum) / static_cast<float>(passNum + 1);
  const float add = 1.0f / static_cast<float>(passNum + 1);
  std::vector<BMM_Color_fl> mean(width), pass(width);
  for (int y = 0; y < height; ++y) {
    destination->GetPixels(0, y, width, mean.data());
    source->GetPixels(0, y, width, pass.data());
    for (int x = 0; x < width; ++x) {
      mean[x].r = mean[x].r * keep + pass[x].r * add;
      mean[x].g = mean[x].g * keep + pass[x].g * add;
      mean[x].b = mean[x].b * keep + pass[x].b * add;
      mean[x].a = mean[x].a * keep + pass[x].a * add;
    }
    destination->PutPixels(0, y, width, mean.data());
  }
}

void MultiPassEffect::PostRenderFrame() {
  pendingPasses_ = 0;
}

SceneCamera::SceneCamera(Class_ID id, float panX, float panY) : id_(id), panX_(panX), panY_(panY) {}

BOOL SceneCamera::GetMultiPassEffectEnabled(TimeValue, Interval& valid) {
  valid.SetInfinite();
  return effect_ && effectEnabled_ ? TRUE : FALSE;
}

void SceneCamera::setEffect(std::unique_ptr<MultiPassEffect> effect, bool enabled) {
  effect_ = std::move(effect);
  effectEnabled_ = enabled;
}

SceneNode::SceneNode(std::string name, std::unique_ptr<Object> object)
    : name_(std::move(name)), object_(std::move(object)), state_(object_.get()) {}

const ObjectState& SceneNode::EvalWorldState(TimeValue, BOOL) {
  return state_;
}

INode* SceneNode::GetChildNode(int i) {
  if (i < 0 || i >= NumberOfChildren()) return nullptr;
  return children_[i].get();
}

SceneNode* SceneNode::addChild(std::unique_ptr<SceneNode> child) {
  children_.push_back(std::move(child));
  return children_.back().get();
}

SceneNode* SceneNode::find(const std::string& name) {
  if (name_ == name) return this;
  for (auto& child : children_) {
    if (SceneNode* found = child->find(name)) return found;
  }
  return nullptr;
}

}  // namespace standin
