// The scene's nodes and the objects they evaluate to: cameras (with multi-pass effects) and others.
#pragma once

#include "max.h"

#include "object.h"
#include "inode.h"
#include "render.h"

#include <memory>
#include <string>
#include <vector>

namespace standin {

struct Scene;

/// A multi-pass effect that moves the view a little for each pass (and optionally the time),
/// so that the average of the passes is a blurred picture.
class MultiPassEffect : public IMultiPassCameraEffect {
 public:
  /// `spread`: how far (in pixels) passes after the first are moved, around a circle;
  /// `timeSpread`: ticks over which the passes' times are spread after the frame's time;
  /// `scene`: the scene the effect belongs to, whose accumulate faults it raises (may be null).
  MultiPassEffect(Class_ID id, int passes, float spread, int timeSpread,
                  const Scene* scene = nullptr);
  Class_ID ClassID() override { return id_; }
  int TotalPasses(TimeValue t) override;
  ViewParams* Apply(INode* cameraNode, CameraObject* cameraObject, int passNum,
                    TimeValue& time) override;
  void AccumulateBitmap(Bitmap* destination, Bitmap* source, int passNum, TimeValue t) override;
  void PostRenderFrame() override;
  /// Passes applied since the last PostRenderFrame.
  int pendingPasses() const { return pendingPasses_; }

 private:
  Class_ID id_;
  int passes_;
  float spread_;
  int timeSpread_;
  const Scene* scene_;
  ViewParams view_;
  int pendingPasses_ = 0;
};

/// A camera: its class ID, how far it pans the picture (pixels), and its multi-pass effect.
class SceneCamera : public CameraObject {
 public:
  SceneCamera(Class_ID id, float panX, float panY);
  Class_ID ClassID() override { return id_; }
  BOOL GetMultiPassEffectEnabled(TimeValue t, Interval& valid) override;
  IMultiPassCameraEffect* GetIMultiPassCameraEffect() override { return effect_.get(); }
  void setEffect(std::unique_ptr<MultiPassEffect> effect, bool enabled);
  float panX() const { return panX_; }
  float panY() const { return panY_; }

 private:
  Class_ID id_;
  float panX_;
  float panY_;
  std::unique_ptr<MultiPassEffect> effect_;
  bool effectEnabled_ = false;
};

/// Any other object: only its class IDs.
class SceneObject : public Object {
 public:
  SceneObject(Class_ID id, SClass_ID superClass) : id_(id), superClass_(superClass) {}
  Class_ID ClassID() override { return id_; }
  SClass_ID SuperClassID() override { return superClass_; }

 private:
  Class_ID id_;
  SClass_ID superClass_;
};

/// A node: a name, an optional object, children.
class SceneNode : public INode {
 public:
  SceneNode(std::string name, std::unique_ptr<Object> object);
  MCHAR* GetName() override { return name_.data(); }
  const ObjectState& EvalWorldState(TimeValue t, BOOL evalHidden = TRUE) override;
  int NumberOfChildren() override { return static_cast<int>(children_.size()); }
  INode* GetChildNode(int i) override;
  SceneNode* addChild(std::unique_ptr<SceneNode> child);
  /// This node or a descendant with exactly this name (depth first), or null.
  SceneNode* find(const std::string& name);

 private:
  std::string name_;
  std::unique_ptr<Object> object_;
  ObjectState state_;
  std::vector<std::unique_ptr<SceneNode>> children_;
};

}  // namespace standin
