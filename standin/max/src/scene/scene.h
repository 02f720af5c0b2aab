// A loaded scene: render settings, time, nodes, viewport, render elements, picture, references,
// scripts and faults to inject.
#pragma once

#include "max.h"

#include "render.h"
#include "core/injected_faults.h"
#include "bmmlib.h"
#include "renderelements.h"
#include "iparamb2.h"
#include "pbbitmap.h"
#include "scene/image_model.h"
#include "scene/scene_nodes.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace standin {

/// The scene's renderer: its class ID and the requirements it reports.
class SceneRenderer : public Renderer, private IRendererRequirements {
 public:
  SceneRenderer(Class_ID id, std::set<int> requirements);
  virtual ~SceneRenderer() = default;
  Class_ID ClassID() override { return id_; }
  BaseInterface* GetInterface(Interface_ID id) override;
  bool HasRequirement(Requirement requirement) override;

 private:
  Class_ID id_;
  std::set<int> requirements_;
};

/// What a render element shows.
enum class ElementKind {
  Beauty,      // the same picture as the main output
  Alpha,       // the alpha channel as opaque grey
  Shapes,      // the shapes alone, over transparent black
  Background,  // the background alone
};

class SceneElement : public IRenderElement {
 public:
  SceneElement(std::string name, ElementKind kind, bool enabled, const BitmapInfo& output);
  const MCHAR* ElementName() const override { return name_.c_str(); }
  BOOL IsEnabled() const override { return enabled_; }
  void GetPBBitmap(PBBitmap*& pbBitmap) const override { pbBitmap = &pb_; }
  ElementKind kind() const { return kind_; }

 private:
  std::string name_;
  ElementKind kind_;
  bool enabled_;
  mutable PBBitmap pb_;
};

class SceneElementMgr : public IRenderElementMgr {
 public:
  BOOL GetElementsActive() const override { return active; }
  int NumRenderElements() override { return static_cast<int>(elements.size()); }
  IRenderElement* GetRenderElement(int index) override;

  bool active = true;
  std::vector<std::unique_ptr<SceneElement>> elements;
};

/// Script text the scene runs while it renders: before the frame's first row, or when the
/// renderer reaches `row`; at every frame or only at `frame`.
struct SceneScript {
  std::string text;
  std::optional<int> row;  // empty: before the frame
  std::optional<int> frame;
};

/// A fault the scene injects.
struct SceneFault {
  enum class Kind {
    Processor,      // the processor raises `processor` at `place`
    RenderFailure,  // the renderer returns failure at `frame`
    LoadException,  // LoadFromFile throws MAXException with `message`
  };
  /// Where a processor fault happens: in the renderer at `frame`, while the scene loads, in
  /// the first CloseCurRenderer after the scene loaded, or when a multi-pass effect accumulates
  /// a pass of `frame` (after the renderer has returned).
  enum class Place { Render, Load, CloseRenderer, Accumulate };
  Kind kind = Kind::Processor;
  ProcessorFault processor = ProcessorFault::AccessViolation;
  Place place = Place::Render;
  int frame = 0;  // render and accumulate faults: the frame at which it happens
  std::string message;
};

/// An item the scene refers to, which may be missing.
struct SceneReference {
  DWORD kind;  // TYPE_MISSING_EXTERNAL_FILES .. TYPE_MISSING_UVWS
  std::string name;
  bool missing;
};

struct Scene {
  Scene();

  std::string fileName;
  int width = 640;
  int height = 480;
  float pixelAspect = 1.0f;
  BitmapInfo output;
  bool saveFile = false;
  bool skipExisting = false;
  int msPerRow = 0;
  std::unique_ptr<SceneRenderer> renderer;
  int ticksPerFrame = 160;
  SceneNode root;
  /// The active viewport: through this camera node, or a perspective view when null.
  INode* viewportCamera = nullptr;
  bool cameraViewport = false;
  SceneElementMgr elements;
  ImageModel image;
  std::vector<SceneReference> references;
  std::vector<SceneScript> scripts;
  std::vector<SceneFault> faults;

  /// Whether CloseCurRenderer has met this scene's close fault already (it happens once).
  bool closeFaultRaised = false;

  /// The first fault of this kind at the frame, or null.
  const SceneFault* faultAt(SceneFault::Kind kind, int frame) const;
  /// The first fault of this kind whatever its frame (the load faults have none), or null.
  const SceneFault* fault(SceneFault::Kind kind) const;
  /// The first processor fault at the place (for Render: at the frame), or null.
  const SceneFault* processorFault(SceneFault::Place place, int frame = 0) const;
};

/// Reads a scene file. Throws std::runtime_error naming what is wrong when the file cannot be
/// read or is not a valid scene (see docs/scene-format.md). `path` is a POSIX path.
std::unique_ptr<Scene> readSceneFile(const std::string& path);

/// Whether the file at the POSIX path is a scene file: a JSON object whose "format" is
/// "moonstone-scene".
bool isSceneFile(const std::string& path);

}  // namespace standin
