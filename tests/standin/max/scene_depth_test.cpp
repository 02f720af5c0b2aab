// Node hierarchies as deep as the scene reader takes, and deeper.
#include "host_fixture.h"

#include <string>

namespace {

class SceneDepthTest : public HostTest {
 protected:
  // A scene whose nodes are the camera and a chain n1 > n2 > ... > n<depth>, the deepest node
  // holding `innermostChildren` (a JSON list). Written as text: the library's own writer recurses.
  static std::string sceneWithChain(int depth, const std::string& innermostChildren) {
    std::string chain;
    for (int level = 1; level <= depth; ++level) {
      chain += R"({"name": "n)" + std::to_string(level) + R"(", "children": )";
      chain += level < depth ? "[" : innermostChildren;
    }
    chain += "}";
    for (int level = 1; level < depth; ++level) chain += "]}";
    nlohmann::json scene = smallScene();
    scene.erase("nodes");
    std::string text = scene.dump();
    text.insert(text.size() - 1,
                R"(, "nodes": [{"name": "Camera01", "camera": {}}, )" + chain + "]");
    return text;
  }

  bool loadChain(int depth, const std::string& innermostChildren = "[]") {
    const std::string file = writeFile("deep.max", sceneWithChain(depth, innermostChildren));
    return GetCOREInterface8()->LoadFromFile(file.c_str(), 6);
  }
};

TEST_F(SceneDepthTest, AThousandLevelsLoadDownToTheDeepestNode) {
  ASSERT_TRUE(loadChain(1000));
  INode* deepest = GetCOREInterface()->GetINodeByName("n1000");
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(deepest->NumberOfChildren(), 0);
  EXPECT_EQ(GetCOREInterface()->GetINodeByName("n999")->GetChildNode(0), deepest);
}

TEST_F(SceneDepthTest, ANodeBelowTheThousandthLevelRefusesTheFile) {
  load(smallScene());
  EXPECT_FALSE(loadChain(1000, R"([{"name": "tooDeep"}])"));
  EXPECT_FALSE(loadChain(50000));
  // The scene loaded before stays.
  EXPECT_NE(GetCOREInterface()->GetINodeByName("Camera01"), nullptr);
  EXPECT_EQ(GetCOREInterface()->GetINodeByName("n1"), nullptr);
}

}  // namespace
