// The scene's renderer, render elements and fault look-up.
#include "scene/scene.h"

namespace standin {

namespace {
Class_ID defaultRendererClass() {
  return Class_ID(0x00005A1Eu, 0x00000001u);
}
}  // namespace

SceneRenderer::SceneRenderer(Class_ID id, std::set<int> requirements)
    : id_(id), requirements_(std::move(requirements)) {}

BaseInterface* SceneRenderer::GetInterface(Interface_ID id) {
  if (id == IRENDERERREQUIREMENTS_INTERFACE_ID) return static_cast<IRendererRequirements*>(this);
  return nullptr;
}

bool SceneRenderer::HasRequirement(Requirement requirement) {
  return requirements_.count(requirement) != 0;
}

SceneElement::SceneElement(std::string name, ElementKind kind, bool enabled,
                           const BitmapInfo& output)
    : name_(std::move(name)), kind_(kind), enabled_(enabled) {
  pb_.bi = output;
}

IRenderElement* SceneElementMgr::GetRenderElement(int index) {
  if (index < 0 || index >= NumRenderElements()) return nullptr;
  return elements[index].get();
}

Scene::Scene()
    : renderer(std::make_unique<SceneRenderer>(defaultRendererClass(), std::set<int>{})),
      root("", nullptr) {}

const SceneFault* Scene::faultAt(SceneFault::Kind kind, int frame) const {
  for (const SceneFault& fault : faults) {
    if (fault.kind == kind && fault.frame == frame) return &fault;
  }
  return nullptr;
}

const SceneFault* Scene::fault(SceneFault::Kind kind) const {
  for (const SceneFault& candidate : faults) {
    if (candidate.kind == kind) return &candidate;
  }
  return nullptr;
}

namespace {

bool faultHasFrame(SceneFault::Place place) {
  return place == SceneFault::Place::Render || place == SceneFault::Place::Accumulate;
}

}  // namespace

const SceneFault* Scene::processorFault(SceneFault::Place place, int frame) const {
  for (const SceneFault& candidate : faults) {
    if (candidate.kind == SceneFault::Kind::Processor && candidate.place == place &&
        (!faultHasFrame(place) || candidate.frame == frame)) {
      return &candidate;
    }
  }
  return nullptr;
}

}  // namespace standin
