// polyPlatonic: Maya's numbering against meshes Maya saved from the node's
// output (a default icosahedron; an octahedron split once into triangles),
// then the shape of every primitive and mode, and hostile values.

#include "mesh/MeshValidate.h"
#include "mesh/PolyCreators.h"
#include "MeshTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mayahost;
using namespace meshtest;

namespace {

MeshData build(AttrReader::Numbers values) {
    MeshData m;
    EXPECT_EQ(makePolyCreatorMesh("polyPlatonic", AttrReader(std::move(values)), m), "");
    return m;
}

}  // namespace

TEST(PolyPlatonic, DefaultIsMayasIcosahedron) {
    const MeshData m = build({});
    ASSERT_EQ(meshDataError(m), "");
    const std::vector<float> points = {0, 0, -1, 0.72360682f, 0.52573109f, -0.44721359f, -0.27639326f, 0.85065091f,
                                       -0.44721365f, -0.8944273f, 0, -0.44721365f, -0.27639329f, -0.85065079f,
                                       -0.44721359f, 0.72360677f, -0.52573115f, -0.44721359f, 0.8944273f, 0, 0.44721365f,
                                       0.27639318f, 0.85065085f, 0.44721359f, -0.72360688f, 0.52573109f, 0.44721365f,
                                       -0.72360677f, -0.52573121f, 0.44721359f, 0.27639332f, -0.85065079f, 0.44721359f,
                                       0, 0, 1};
    ASSERT_EQ(m.points.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i) EXPECT_NEAR(m.points[i], points[i], 1e-6) << i;
    EXPECT_EQ(m.edges, (std::vector<int32_t>{0, 2, 2, 1, 1, 0, 0, 3, 3, 2, 0, 4, 4, 3, 0, 5, 5, 4, 1, 5,
                                                 2, 7, 7, 1, 3, 8, 8, 2, 4, 9, 9, 3, 5, 10, 10, 4, 1, 6, 6, 5,
                                                 7, 6, 8, 7, 9, 8, 10, 9, 6, 10, 7, 11, 11, 6, 8, 11, 9, 11, 10, 11}));
    for (uint8_t s : m.edgeSmooth) EXPECT_EQ(s, 0);
    EXPECT_EQ(faceCorners(m, 9), (std::vector<int32_t>{5, 1, 6}));
    EXPECT_EQ(faceCorners(m, 19), (std::vector<int32_t>{10, 6, 11}));
    const MeshUVSet& uv = m.uvSets.at(0);
    const std::vector<float> u = {1, 0.83810407f, 0.088104114f, 0.1762082f, 0.088104114f, 0.83810413f, 0.6762082f,
                                  0.58810407f, 0.3381041f, 0.3381041f, 0.58810413f, 0.5f, 1.088104129f, 1.17620826f,
                                  1.088104129f};
    const std::vector<float> v = {0.5f, 0.67620814f, 0.8237918f, 0.5f, 0.17620823f, 0.32379177f, 0.5f, 0.82379186f,
                                  0.67620814f, 0.32379177f, 0.17620823f, 0.5f, 0.8237918f, 0.5f, 0.17620823f};
    ASSERT_EQ(uv.u.size(), u.size());
    for (size_t i = 0; i < u.size(); ++i) {
        EXPECT_NEAR(uv.u[i], u[i], 1e-6) << i;
        EXPECT_NEAR(uv.v[i], v[i], 1e-6) << i;
    }
    EXPECT_EQ(std::vector<int32_t>(uv.faceVertexUV.begin(), uv.faceVertexUV.begin() + 12),
              (std::vector<int32_t>{0, 12, 1, 0, 13, 12, 0, 14, 13, 0, 5, 14}));
}

TEST(PolyPlatonic, OctahedronSplitIntoTrianglesNumbersAsMaya) {
    const MeshData m = build({{"primitive", 2}, {"subdivisionMode", 1}, {"subdivisions", 1}});
    ASSERT_EQ(meshDataError(m), "");
    ASSERT_EQ(m.numVertices(), 18u);
    const float h = 0.70710677f;
    const std::vector<MeshVec> tail = {{h, h, 0}, {h, 0, h}, {0, h, h}, {-h, h, 0}, {-h, 0, h}, {-h, -h, 0},
                                       {0, -h, h}, {h, -h, 0}, {0, h, -h}, {h, 0, -h}, {-h, 0, -h}, {0, -h, -h}};
    for (size_t i = 0; i < tail.size(); ++i) EXPECT_TRUE(near(pointOf(m, 6 + i), tail[i])) << 6 + i;
    // Maya's edge list, with the octahedron's own edges hard (third number 0).
    const int32_t ed[48][3] = {{1, 6, 0}, {6, 7, 1}, {7, 1, 0}, {6, 2, 0}, {2, 8, 0}, {8, 6, 1}, {8, 7, 1}, {8, 0, 0},
                               {0, 7, 0}, {2, 9, 0}, {9, 8, 1}, {9, 3, 0}, {3, 10, 0}, {10, 9, 1}, {10, 8, 1},
                               {10, 0, 0}, {3, 11, 0}, {11, 10, 1}, {11, 4, 0}, {4, 12, 0}, {12, 11, 1}, {12, 10, 1},
                               {12, 0, 0}, {12, 7, 1}, {4, 13, 0}, {13, 12, 1}, {13, 7, 1}, {13, 1, 0}, {5, 14, 0},
                               {14, 15, 1}, {15, 5, 0}, {14, 2, 0}, {6, 14, 1}, {6, 15, 1}, {1, 15, 0}, {5, 16, 0},
                               {16, 14, 1}, {16, 3, 0}, {9, 16, 1}, {9, 14, 1}, {5, 17, 0}, {17, 16, 1}, {17, 4, 0},
                               {11, 17, 1}, {11, 16, 1}, {15, 17, 1}, {13, 15, 1}, {13, 17, 1}};
    ASSERT_EQ(m.numEdges(), 48u);
    for (size_t e = 0; e < 48; ++e)
        EXPECT_EQ(std::tuple(m.edges[2 * e], m.edges[2 * e + 1], m.edgeSmooth[e]), std::tuple(ed[e][0], ed[e][1], ed[e][2])) << e;
    EXPECT_EQ(m.uvSets.at(0).u.size(), 21u);
}

TEST(PolyPlatonic, EverySolidAndModeIsAClosedOutwardSurfaceOnItsSphere) {
    const int faces[5] = {4, 6, 8, 12, 20};
    for (int primitive = 0; primitive < 5; ++primitive)
        for (int mode = 0; mode < 4; ++mode)
            for (int steps : {0, 1, 2}) {
                SCOPED_TRACE(testing::Message() << "primitive " << primitive << " mode " << mode << " steps " << steps);
                const MeshData m = build({{"primitive", primitive}, {"subdivisionMode", mode},
                                          {"subdivisions", steps}, {"radius", 2.5}});
                ASSERT_EQ(meshDataError(m), "");
                EXPECT_EQ(m.numFaces(), polyPlatonicFaceCount(primitive, mode, steps));
                if (steps == 0) {
                    EXPECT_EQ(m.numFaces(), size_t(faces[primitive]));
                }
                EXPECT_EQ(m.numVertices() + m.numFaces(), m.numEdges() + 2) << "a sphere's Euler characteristic";
                EXPECT_EQ(closedProblem(m), "");
                for (size_t f = 0; f < m.numFaces(); ++f)
                    EXPECT_GT(newell(m, f).dot(pointOf(m, size_t(faceCorners(m, f)[0]))), 0) << "face " << f;
                for (size_t v = 0; v < m.numVertices() && mode != 3; ++v)  // caps keep an inset polygon inside the sphere
                    EXPECT_NEAR(pointOf(m, v).length(), 2.5, 1e-5);
                for (float u : m.uvSets.at(0).u) EXPECT_TRUE(u >= 0 && u <= 1.5);
            }
}

TEST(PolyPlatonic, InflationAxisAndHostileValues) {
    // No inflation leaves the new points on the flat faces.
    const MeshData flat = build({{"primitive", 1}, {"subdivisions", 1}, {"sphericalInflation", 0}});
    EXPECT_NEAR(pointOf(flat, 9).length(), 1 / std::sqrt(3.0), 1e-6) << "a face centre of the unit cube";
    const MeshData noUVs = build({{"createUVs", 0}});
    EXPECT_TRUE(noUVs.uvSets.at(0).u.empty());
    // An unknown primitive or mode falls back to the defaults; NaN counts as unset.
    EXPECT_EQ(build({{"primitive", 99}, {"subdivisionMode", -5}, {"radius", std::nan("")}}).points, build({}).points);
    EXPECT_EQ(build({{"subdivisions", -3}}).numFaces(), 20u);
    MeshData m;
    EXPECT_TRUE(mentions(makePolyCreatorMesh("polyPlatonic", AttrReader({{"subdivisions", 1e9}}), m), "polyPlatonic"));
    EXPECT_TRUE(m.points.empty()) << "refused before building";
}
