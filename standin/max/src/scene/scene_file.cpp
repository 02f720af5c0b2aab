// Reading scene files: JSON documents described in docs/scene-format.md.
#include "max.h"

#include "DefaultActions.h"
#include "bitmap/image_device.h"
#include "object.h"
#include "scene/scene.h"
#include "core/native_path.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <sys/stat.h>

namespace standin {

namespace {

using nlohmann::json;

const char* const formatTag = "moonstone-scene";

[[noreturn]] void invalid(const std::string& what) {
  throw std::runtime_error(what);
}

json readJson(const std::string& path) {
  std::ifstream in(path);
  if (!in) invalid("cannot open the file");
  json document = json::parse(in, nullptr, false);
  if (document.is_discarded()) invalid("not valid JSON");
  return document;
}

/// A whole number within Int's range (32.0 is one), or the scene file's error naming the field:
/// a fraction or an out-of-range number converted as it stands would be undefined behaviour.
template <typename Int>
Int integer(const json& value, const std::string& field) {
  static_assert(sizeof(Int) <= 4, "the float bounds below are exact only up to 32 bits");
  constexpr Int low = (std::numeric_limits<Int>::min)();
  constexpr Int high = (std::numeric_limits<Int>::max)();
  if (value.is_number_float()) {
    const double number = value.get<double>();
    if (std::floor(number) == number && number >= static_cast<double>(low) &&
        number <= static_cast<double>(high)) {
      return static_cast<Int>(number);
    }
  } else if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    if (number <= static_cast<std::uint64_t>(high)) return static_cast<Int>(number);
  } else if (value.is_number_integer()) {
    const auto number = value.get<std::int64_t>();
    const bool fits =
        std::is_signed_v<Int>
            ? number >= static_cast<std::int64_t>(low) && number <= static_cast<std::int64_t>(high)
            : number >= 0 && static_cast<std::uint64_t>(number) <= high;
    if (fits) return static_cast<Int>(number);
  }
  invalid("\"" + field + "\" must be a whole number from " + std::to_string(low) + " to " +
          std::to_string(high));
}

/// The integer under `key`, or `fallback` when the object has none.
template <typename Int>
Int integerField(const json& holder, const char* key, Int fallback) {
  if (holder.is_object() && !holder.contains(key)) return fallback;
  return integer<Int>(holder.at(key), key);
}

/// A 32-bit class ID part: a number, or a string in decimal or 0x-hexadecimal.
ULONG classIdPart(const json& part) {
  if (part.is_number()) return integer<ULONG>(part, "class_id");
  if (part.is_string()) {
    const std::string text = part.get<std::string>();
    size_t used = 0;
    const unsigned long long value = std::stoull(text, &used, 0);
    if (used != text.size() || value > 0xFFFFFFFFull) invalid("bad class ID part \"" + text + "\"");
    return static_cast<ULONG>(value);
  }
  invalid("a class ID part must be a number or a string");
}

Class_ID classId(const json& holder, const char* key, Class_ID fallback) {
  if (!holder.contains(key)) return fallback;
  const json& id = holder.at(key);
  if (!id.is_array() || id.size() != 2) invalid(std::string(key) + " must be two numbers");
  return Class_ID(classIdPart(id[0]), classIdPart(id[1]));
}

BMM_Color_fl colour(const json& value) {
  if (!value.is_array() || (value.size() != 3 && value.size() != 4)) {
    invalid("a colour must be [r, g, b] or [r, g, b, a]");
  }
  return BMM_Color_fl(value[0].get<float>(), value[1].get<float>(), value[2].get<float>(),
                      value.size() == 4 ? value[3].get<float>() : 1.0f);
}

BitmapInfo outputInfo(const json& holder, int width, int height, float aspect) {
  BitmapInfo bi;
  bi.SetName(holder.value("output", std::string()).c_str());
  // The device is named even when the extension chose it, so that Device() tells the format.
  std::string device = holder.value("device", std::string());
  if (device.empty()) {
    if (const ImageDevice* byExtension = deviceForFileName(bi.Name())) device = byExtension->name();
  }
  bi.SetDevice(device.c_str());
  bi.SetWidth(static_cast<WORD>(width));
  bi.SetHeight(static_cast<WORD>(height));
  bi.SetAspect(aspect);
  if (holder.value("alpha_split", false)) bi.SetDeviceSetting(BMM_SETTING_ALPHA_SPLIT, "1");
  return bi;
}

void readRender(const json& render, Scene& scene) {
  scene.width = integerField(render, "width", scene.width);
  scene.height = integerField(render, "height", scene.height);
  if (scene.width < 1 || scene.height < 1 || scene.width > 65535 || scene.height > 65535) {
    invalid("render width and height must be 1 to 65535");
  }
  scene.pixelAspect = render.value("pixel_aspect", scene.pixelAspect);
  scene.output = outputInfo(render, scene.width, scene.height, scene.pixelAspect);
  scene.saveFile = render.value("save", !std::string(scene.output.Name()).empty());
  scene.skipExisting = render.value("skip_existing", false);
  scene.msPerRow = integerField(render, "ms_per_row", 0);
  if (render.contains("renderer")) {
    const json& renderer = render.at("renderer");
    std::set<int> requirements;
    for (const json& r : renderer.value("requirements", json::array())) {
      requirements.insert(integer<int>(r, "requirements"));
    }
    scene.renderer = std::make_unique<SceneRenderer>(
        classId(renderer, "class_id", scene.renderer->ClassID()), requirements);
  }
}

std::unique_ptr<Object> readObject(const json& node, const Scene& scene) {
  if (node.contains("camera")) {
    const json& camera = node.at("camera");
    const json pan = camera.value("pan", json::array({0, 0}));
    auto object =
        std::make_unique<SceneCamera>(classId(camera, "class_id", Class_ID(SIMPLE_CAM_CLASS_ID, 0)),
                                      pan.at(0).get<float>(), pan.at(1).get<float>());
    if (camera.contains("multipass")) {
      const json& mp = camera.at("multipass");
      object->setEffect(
          std::make_unique<MultiPassEffect>(classId(mp, "class_id", Class_ID(0x4C9F1E3Bu, 0x1u)),
                                            integerField(mp, "passes", 1), mp.value("spread", 1.0f),
                                            integerField(mp, "time_spread", 0), &scene),
          mp.value("enabled", true));
    }
    return object;
  }
  if (node.contains("object")) {
    const json& object = node.at("object");
    return std::make_unique<SceneObject>(
        classId(object, "class_id", Class_ID(0x10u, 0)),
        integerField<SClass_ID>(object, "superclass", GEOMOBJECT_CLASS_ID));
  }
  return nullptr;
}

// Every level of the hierarchy is a level of recursion here and in the scene's nodes.
const int maxNodeDepth = 1000;

// The hierarchy is read where it lies in the document: a copy of each node's children would
// copy every subtree once per level above it.
void readNodes(const json& nodes, const Scene& scene, SceneNode& parent, int depth) {
  for (const json& node : nodes) {
    if (depth > maxNodeDepth) {
      invalid("nodes are nested deeper than " + std::to_string(maxNodeDepth) + " levels");
    }
    const std::string name = node.at("name").get<std::string>();
    if (name.empty()) invalid("a node needs a name");
    SceneNode* child = parent.addChild(std::make_unique<SceneNode>(name, readObject(node, scene)));
    const auto children = node.find("children");
    if (children != node.end()) readNodes(*children, scene, *child, depth + 1);
  }
}

void readViewport(const json& viewport, Scene& scene) {
  const std::string camera = viewport.value("camera", std::string());
  if (camera.empty()) return;
  SceneNode* node = scene.root.find(camera);
  if (!node || node == &scene.root) invalid("the viewport's camera \"" + camera + "\" is no node");
  scene.cameraViewport = true;
  scene.viewportCamera = node;
}

ElementKind elementKind(const std::string& kind) {
  if (kind == "beauty") return ElementKind::Beauty;
  if (kind == "alpha") return ElementKind::Alpha;
  if (kind == "shapes") return ElementKind::Shapes;
  if (kind == "background") return ElementKind::Background;
  invalid("unknown render element kind \"" + kind + "\"");
}

void readElements(const json& elements, Scene& scene) {
  scene.elements.active = elements.value("active", true);
  for (const json& e : elements.value("elements", json::array())) {
    scene.elements.elements.push_back(std::make_unique<SceneElement>(
        e.at("name").get<std::string>(), elementKind(e.value("kind", std::string("beauty"))),
        e.value("enabled", true), outputInfo(e, scene.width, scene.height, scene.pixelAspect)));
  }
}

void readImage(const json& image, Scene& scene) {
  if (image.contains("background")) scene.image.background = colour(image.at("background"));
  for (const json& s : image.value("shapes", json::array())) {
    Shape shape;
    const std::string type = s.value("type", std::string("disc"));
    if (type == "box") {
      shape.kind = Shape::Kind::Box;
    } else if (type != "disc") {
      invalid("unknown shape type \"" + type + "\"");
    }
    if (s.contains("color")) shape.color = colour(s.at("color"));
    shape.radius = s.value("radius", shape.radius);
    shape.halfWidth = s.value("half_width", shape.halfWidth);
    shape.halfHeight = s.value("half_height", shape.halfHeight);
    for (const json& k : s.at("keys")) {
      shape.keys.push_back(
          {k.value("frame", 0.0), k.at("x").get<double>(), k.at("y").get<double>()});
    }
    if (shape.keys.empty()) invalid("a shape needs at least one key");
    std::stable_sort(shape.keys.begin(), shape.keys.end(),
                     [](const ShapeKey& a, const ShapeKey& b) { return a.frame < b.frame; });
    scene.image.shapes.push_back(shape);
  }
  for (const json& b : image.value("blackout", json::array())) {
    const int first = integer<int>(b.at("first"), "first");
    scene.image.blackouts.push_back(
        {first, integerField(b, "last", first), b.value("fraction", 1.0)});
  }
}

bool fileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

/// A reference's file name, taken relative to the scene's folder unless absolute.
std::string referencedPath(const std::string& name, const std::string& scenePath) {
  const std::string path = native_path(name);
  if (std::filesystem::path(path).is_absolute()) return path;
  const size_t slash = scenePath.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : scenePath.substr(0, slash + 1)) + path;
}

void readReferences(const json& references, Scene& scene, const std::string& scenePath) {
  for (const json& r : references) {
    const std::string kind = r.at("kind").get<std::string>();
    const std::string name = r.at("name").get<std::string>();
    DWORD code;
    if (kind == "external_file")
      code = TYPE_MISSING_EXTERNAL_FILES;
    else if (kind == "dll")
      code = TYPE_MISSING_DLL_FILES;
    else if (kind == "xref")
      code = TYPE_MISSING_XREF_FILES;
    else if (kind == "uvw")
      code = TYPE_MISSING_UVWS;
    else
      invalid("unknown reference kind \"" + kind + "\"");
    // Files are looked for on disk unless the scene says; DLLs and UVWs only by what it says.
    const bool onDisk = code == TYPE_MISSING_EXTERNAL_FILES || code == TYPE_MISSING_XREF_FILES;
    const bool missing = r.contains("missing")
                             ? r.at("missing").get<bool>()
                             : onDisk && !fileExists(referencedPath(name, scenePath));
    scene.references.push_back({code, name, missing});
  }
}

void readScripts(const json& scripts, Scene& scene) {
  for (const json& s : scripts) {
    SceneScript script{s.at("text").get<std::string>(), std::nullopt, std::nullopt};
    if (s.contains("row")) script.row = integer<int>(s.at("row"), "row");
    if (s.contains("frame")) script.frame = integer<int>(s.at("frame"), "frame");
    scene.scripts.push_back(script);
  }
}

SceneFault::Place faultPlace(const std::string& at) {
  if (at == "render") return SceneFault::Place::Render;
  if (at == "load") return SceneFault::Place::Load;
  if (at == "close_renderer") return SceneFault::Place::CloseRenderer;
  if (at == "accumulate") return SceneFault::Place::Accumulate;
  invalid("unknown fault place \"" + at + "\"");
}

void readFaults(const json& faults, Scene& scene) {
  for (const json& f : faults) {
    const std::string kind = f.at("kind").get<std::string>();
    SceneFault fault;
    fault.frame = integerField(f, "frame", 0);
    fault.message = f.value("message", std::string("the scene refused to load"));
    fault.place = faultPlace(f.value("at", std::string("render")));
    if (kind == "render_failure") {
      fault.kind = SceneFault::Kind::RenderFailure;
    } else if (kind == "load_exception") {
      fault.kind = SceneFault::Kind::LoadException;
    } else if (kind == "load_crash") {  // the older name of an access violation while loading
      fault.place = SceneFault::Place::Load;
    } else if (const auto processor = processorFaultNamed(kind)) {
      fault.processor = *processor;
    } else {
      invalid("unknown fault kind \"" + kind + "\"");
    }
    scene.faults.push_back(fault);
  }
}

}  // namespace

bool isSceneFile(const std::string& path) {
  try {
    const json document = readJson(path);
    return document.is_object() && document.value("format", std::string()) == formatTag;
  } catch (const std::exception&) {
    return false;
  }
}

std::unique_ptr<Scene> readSceneFile(const std::string& path) {
  try {
    const json document = readJson(path);
    if (!document.is_object() || document.value("format", std::string()) != formatTag) {
      invalid(std::string("not a scene file (\"format\" is not \"") + formatTag + "\")");
    }
    auto scene = std::make_unique<Scene>();
    scene->fileName = path;
    readRender(document.value("render", json::object()), *scene);
    scene->ticksPerFrame =
        integerField(document.value("time", json::object()), "ticks_per_frame", 160);
    if (scene->ticksPerFrame < 1) invalid("ticks_per_frame must be at least 1");
    if (const auto nodes = document.find("nodes"); nodes != document.end()) {
      readNodes(*nodes, *scene, scene->root, 1);
    }
    readViewport(document.value("viewport", json::object()), *scene);
    readElements(document.value("render_elements", json::object()), *scene);
    readImage(document.value("image", json::object()), *scene);
    readReferences(document.value("references", json::array()), *scene, path);
    readScripts(document.value("scripts", json::array()), *scene);
    readFaults(document.value("faults", json::array()), *scene);
    return scene;
  } catch (const json::exception& e) {
    throw std::runtime_error(path + ": " + e.what());
  } catch (const std::logic_error& e) {  // std::stoull's errors
    throw std::runtime_error(path + ": " + e.what());
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(path + ": " + e.what());
  }
}

}  // namespace standin
