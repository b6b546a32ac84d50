// Modifiers that move points: transformGeometry, tweak, skinCluster, blendShape.

#include "mesh/MeshModifiers.h"

#include "mesh/MeshModUtil.h"

#include <algorithm>
#include <cmath>

namespace mayahost {
namespace {

using meshmod::addWarning;

constexpr float kUnsetNormal = 1e19f;

struct Mat3 {
    double m[3][3];
};

Mat3 upper3(const MMatrix& a) {
    Mat3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.m[i][j] = a.matrix[i][j];
    return r;
}

// Transpose of the inverse of the upper 3x3: what turns normals when points
// turn by `a` (row vectors). False when that part is singular.
bool normalMatrix(const MMatrix& a, Mat3& out) {
    Mat3 m = upper3(a);
    double c00 = m.m[1][1] * m.m[2][2] - m.m[1][2] * m.m[2][1];
    double c01 = m.m[1][2] * m.m[2][0] - m.m[1][0] * m.m[2][2];
    double c02 = m.m[1][0] * m.m[2][1] - m.m[1][1] * m.m[2][0];
    double det = m.m[0][0] * c00 + m.m[0][1] * c01 + m.m[0][2] * c02;
    if (!std::isfinite(det) || std::fabs(det) < 1e-300) return false;
    // The cofactor matrix over the determinant is the inverse transposed.
    out.m[0][0] = c00 / det;
    out.m[0][1] = c01 / det;
    out.m[0][2] = c02 / det;
    out.m[1][0] = (m.m[0][2] * m.m[2][1] - m.m[0][1] * m.m[2][2]) / det;
    out.m[1][1] = (m.m[0][0] * m.m[2][2] - m.m[0][2] * m.m[2][0]) / det;
    out.m[1][2] = (m.m[0][1] * m.m[2][0] - m.m[0][0] * m.m[2][1]) / det;
    out.m[2][0] = (m.m[0][1] * m.m[1][2] - m.m[0][2] * m.m[1][1]) / det;
    out.m[2][1] = (m.m[0][2] * m.m[1][0] - m.m[0][0] * m.m[1][2]) / det;
    out.m[2][2] = (m.m[0][0] * m.m[1][1] - m.m[0][1] * m.m[1][0]) / det;
    return true;
}

// n * N (row vector), normalised; false when the result has no direction.
bool turnNormal(const Mat3& n3, float* n) {
    double x = n[0] * n3.m[0][0] + n[1] * n3.m[1][0] + n[2] * n3.m[2][0];
    double y = n[0] * n3.m[0][1] + n[1] * n3.m[1][1] + n[2] * n3.m[2][1];
    double z = n[0] * n3.m[0][2] + n[1] * n3.m[1][2] + n[2] * n3.m[2][2];
    double len = std::sqrt(x * x + y * y + z * z);
    if (!(len > 0) || !std::isfinite(len)) return false;
    n[0] = float(x / len);
    n[1] = float(y / len);
    n[2] = float(z / len);
    return true;
}

// p * M as a row vector with w = 1; divided by w when M is projective.
template <class T>
bool transformPoint(const MMatrix& m, bool projective, T* p) {
    double in[4] = {p[0], p[1], p[2], 1.0};
    double out[4] = {0, 0, 0, 0};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) out[c] += in[r] * m.matrix[r][c];
    if (projective) {
        if (!(std::fabs(out[3]) > 0)) return false;
        for (int c = 0; c < 3; ++c) out[c] /= out[3];
    }
    if (!std::isfinite(out[0]) || !std::isfinite(out[1]) || !std::isfinite(out[2])) return false;
    p[0] = T(out[0]);
    p[1] = T(out[1]);
    p[2] = T(out[2]);
    return true;
}

bool isProjective(const MMatrix& m) {
    return m.matrix[0][3] != 0 || m.matrix[1][3] != 0 || m.matrix[2][3] != 0 || m.matrix[3][3] != 1;
}

}  // namespace

// --- transformGeometry ----------------------------------------------------

MeshData applyTransformGeometry(const MeshData& in, const TransformGeometryParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "transformGeometry", warning)) return in;
    MMatrix m = params.transform;
    if (!meshmod::isFiniteMatrix(m)) {
        addWarning(warning, "transformGeometry: transform has non-finite values, geometry passed through");
        return in;
    }
    if (params.invertTransform) {
        if (m.isSingular()) {
            addWarning(warning, "transformGeometry: transform cannot be inverted, geometry passed through");
            return in;
        }
        m = m.inverse();
    }
    MeshData out = in;
    bool projective = isProjective(m);
    size_t failed = 0;
    for (size_t v = 0; v < out.numVertices(); ++v)
        if (!transformPoint(m, projective, &out.points[3 * v])) ++failed;
    if (failed)
        addWarning(warning, "transformGeometry: " + std::to_string(failed) +
                                " points sent to infinity by the transform were left in place");

    if (params.freezeNormals == 0 && !out.faceVertexNormals.empty()) {
        Mat3 n3;
        if (normalMatrix(m, n3)) {
            for (size_t c = 0; 3 * c < out.faceVertexNormals.size(); ++c) {
                float* n = &out.faceVertexNormals[3 * c];
                if (n[0] > kUnsetNormal) continue;
                turnNormal(n3, n);
            }
        } else {
            addWarning(warning, "transformGeometry: transform flattens space, user normals left unchanged");
        }
    }
    if (params.reverseNormals)
        for (size_t f = 0; f < out.numFaces(); ++f) meshmod::reverseFace(out, f);
    return out;
}

// --- tweak ----------------------------------------------------------------

std::vector<double> meshPoints(const MeshData& mesh) { return {mesh.points.begin(), mesh.points.end()}; }

void setMeshPoints(MeshData& mesh, const std::vector<double>& points) {
    for (size_t i = 0; i < mesh.points.size() && i < points.size(); ++i) mesh.points[i] = float(points[i]);
}

MeshData applyTweak(const MeshData& in, const TweakParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "tweak", warning)) return in;
    MeshData out = in;
    std::vector<double> points = meshPoints(in);
    deformTweak(points, params, warning);
    setMeshPoints(out, points);
    return out;
}

void deformTweak(std::vector<double>& points, const TweakParams& params, std::string* warning) {
    const size_t n = points.size() / 3;
    const double en = std::isfinite(params.envelope) ? params.envelope : 0.0;
    if (!std::isfinite(params.envelope)) addWarning(warning, "tweak: envelope is not a number, tweaks ignored");
    std::vector<uint8_t> member = meshmod::memberMask(params.members, n, "tweak", warning);
    size_t outside = 0, bad = 0;
    for (const TweakVector& t : params.vertex) {
        if (t.index < 0 || size_t(t.index) >= n) {
            ++outside;
            continue;
        }
        if (!member[size_t(t.index)]) continue;
        if (!std::isfinite(t.x) || !std::isfinite(t.y) || !std::isfinite(t.z)) {
            ++bad;
            continue;
        }
        double* p = &points[3 * size_t(t.index)];
        const float d[3] = {t.x, t.y, t.z};
        for (int k = 0; k < 3; ++k) p[k] = params.relativeTweak ? p[k] + en * d[k] : p[k] + en * (d[k] - p[k]);
    }
    if (outside)
        addWarning(warning, "tweak: " + std::to_string(outside) + " tweaks name vertices beyond the mesh's " +
                                std::to_string(n) + " and were ignored");
    if (bad) addWarning(warning, "tweak: " + std::to_string(bad) + " tweaks with non-finite values were ignored");
}

// --- skinCluster ------------------------------------------------------------

namespace {

const MMatrix* influenceMatrix(const std::vector<std::optional<MMatrix>>& list, int32_t j) {
    if (j < 0 || size_t(j) >= list.size() || !list[size_t(j)]) return nullptr;
    return &*list[size_t(j)];
}

}  // namespace

MeshData applySkinCluster(const MeshData& in, const SkinClusterParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "skinCluster", warning)) return in;
    MeshData out = in;
    std::vector<double> points = meshPoints(in);
    const bool normals = params.deformUserNormals && !out.faceVertexNormals.empty();
    std::vector<std::optional<MMatrix>> moves;
    if (!deformSkinCluster(points, params, warning, normals ? &moves : nullptr)) return in;
    setMeshPoints(out, points);
    if (!normals) return out;
    const size_t n = out.numVertices();
    std::vector<Mat3> normalTurn(n);
    std::vector<uint8_t> normalOk(n, 0);
    for (size_t v = 0; v < n && v < moves.size(); ++v)
        if (moves[v]) normalOk[v] = normalMatrix(*moves[v], normalTurn[v]);
    const double en = params.envelope;
    for (size_t c = 0; c < out.faceVertices.size(); ++c) {
        size_t v = size_t(out.faceVertices[c]);
        float* nrm = &out.faceVertexNormals[3 * c];
        if (nrm[0] > kUnsetNormal || v >= n || !normalOk[v]) continue;
        float turned[3] = {nrm[0], nrm[1], nrm[2]};
        if (!turnNormal(normalTurn[v], turned)) continue;
        float mixed[3];
        for (int k = 0; k < 3; ++k) mixed[k] = float(nrm[k] + en * (turned[k] - nrm[k]));
        Mat3 identity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
        if (turnNormal(identity, mixed)) std::copy(mixed, mixed + 3, nrm);
    }
    return out;
}

bool deformSkinCluster(std::vector<double>& points, const SkinClusterParams& params, std::string* warning,
                       std::vector<std::optional<MMatrix>>* moves) {
    const MMatrix& gm = params.geomMatrix;
    if (!meshmod::isFiniteMatrix(gm) || gm.isSingular()) {
        addWarning(warning, "skinCluster: geomMatrix cannot be inverted, geometry passed through");
        return false;
    }
    if (!std::isfinite(params.envelope)) {
        addWarning(warning, "skinCluster: envelope is not a number, geometry passed through");
        return false;
    }
    if (params.skinningMethod != 0)
        addWarning(warning, "skinCluster: skinningMethod " + std::to_string(params.skinningMethod) +
                                " is not evaluated, linear skinning used");
    const MMatrix gmInverse = gm.inverse();

    // Per influence: bindPreMatrix * matrix, made once. Influences whose
    // matrices are not finite are left out of every blend.
    size_t influences = std::max(params.matrix.size(), params.bindPreMatrix.size());
    std::vector<MMatrix> joint(influences);
    std::vector<uint8_t> usable(influences, 1);
    size_t noMatrix = 0, notFinite = 0;
    for (size_t j = 0; j < influences; ++j) {
        const MMatrix* pm = influenceMatrix(params.bindPreMatrix, int32_t(j));
        const MMatrix* ma = influenceMatrix(params.matrix, int32_t(j));
        if (!ma) ++noMatrix;
        joint[j] = (pm ? *pm : MMatrix::identity) * (ma ? *ma : MMatrix::identity);
        if (!meshmod::isFiniteMatrix(joint[j])) usable[j] = 0, ++notFinite;
    }

    const size_t n = points.size() / 3;
    if (moves) moves->assign(n, std::nullopt);

    std::vector<uint8_t> member = meshmod::memberMask(params.members, n, "skinCluster", warning);
    size_t zeroSum = 0, unknownInfluence = 0, unweighted = 0, badWeight = 0;
    const double en = params.envelope;
    for (size_t v = 0; v < n; ++v) {
        if (!member[v]) continue;
        if (v >= params.weightList.size() || params.weightList[v].empty()) {
            ++unweighted;
            continue;
        }
        MMatrix blend;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) blend.matrix[r][c] = 0;
        double sum = 0;
        for (const SkinWeight& w : params.weightList[v]) {
            if (!std::isfinite(w.weight)) {
                ++badWeight;
                continue;
            }
            if (w.influence < 0 || size_t(w.influence) >= influences) {
                if (w.weight != 0) ++unknownInfluence;
                continue;
            }
            if (!usable[size_t(w.influence)]) continue;
            blend += joint[size_t(w.influence)] * w.weight;
            sum += w.weight;
        }
        if (params.normalizeWeights == SkinNormalizeWeights::Post && sum != 0) blend *= 1.0 / sum;
        if (sum == 0) ++zeroSum;
        // Points, not the product matrix: the weighted sum of the joints'
        // images of the world point is a point even when the weights sum to
        // zero, which leaves it at the world origin as Maya does.
        double* p = &points[3 * v];
        double skinned[3] = {p[0], p[1], p[2]};
        if (!transformPoint(gm, false, skinned) || !transformPoint(blend, false, skinned) ||
            !transformPoint(gmInverse, false, skinned))
            continue;
        for (int k = 0; k < 3; ++k) p[k] += en * (skinned[k] - p[k]);
        if (moves) (*moves)[v] = gm * blend * gmInverse;
    }

    if (params.weightList.size() > n)
        addWarning(warning, "skinCluster: weights for " + std::to_string(params.weightList.size() - n) +
                                " vertices beyond the mesh's " + std::to_string(n) + " were ignored");
    if (unweighted)
        addWarning(warning, "skinCluster: " + std::to_string(unweighted) + " vertices without weights kept their points");
    if (zeroSum)
        addWarning(warning, "skinCluster: " + std::to_string(zeroSum) + " vertices whose weights sum to zero went to the origin");
    if (unknownInfluence)
        addWarning(warning, "skinCluster: " + std::to_string(unknownInfluence) +
                                " weights name influences that have no matrix and were ignored");
    if (badWeight) addWarning(warning, "skinCluster: " + std::to_string(badWeight) + " non-finite weights were ignored");
    if (notFinite)
        addWarning(warning, "skinCluster: " + std::to_string(notFinite) + " influences with non-finite matrices were ignored");
    (void)noMatrix;  // an unconnected influence behaves as the identity, as in Maya
    return true;
}

// --- blendShape -------------------------------------------------------------

namespace {

double itemWeight(int32_t itemIndex) { return (itemIndex - 5000) / 1000.0; }

// Offsets (3 per vertex) of one target item; false when it cannot be used.
bool itemOffsets(const std::vector<double>& points, const BlendShapeTargetItem& item, int32_t target,
                 std::vector<double>& offsets, std::string* warning) {
    const size_t n = points.size() / 3;
    offsets.assign(3 * n, 0.0);
    const std::string where = "blendShape: target " + std::to_string(target) + " item " + std::to_string(item.itemIndex);
    if (item.inputGeomTarget) {
        const std::vector<float>& t = *item.inputGeomTarget;
        if (t.size() != 3 * n) {
            addWarning(warning, where + ": target mesh has " + std::to_string(t.size() / 3) + " points, the base " +
                                    std::to_string(n) + "; target ignored");
            return false;
        }
        for (size_t i = 0; i < 3 * n; ++i) offsets[i] = double(t[i]) - points[i];
        return true;
    }
    const std::vector<float>& pts = item.inputPointsTarget;
    if (pts.size() % 3 != 0) {
        addWarning(warning, where + ": offsets are not whole points; target ignored");
        return false;
    }
    const size_t count = pts.size() / 3;
    std::vector<int64_t> ids;
    if (item.componentIds) {
        ids = *item.componentIds;
    } else if (item.inputComponentsTarget) {
        std::string error = meshmod::expandVertexItems(*item.inputComponentsTarget, n, count, ids);
        if (!error.empty()) {
            addWarning(warning, where + ": " + error + "; target ignored");
            return false;
        }
    } else if (count == n) {
        for (size_t i = 0; i < n; ++i) ids.push_back(int64_t(i));
    } else if (count != 0) {
        addWarning(warning, where + ": " + std::to_string(count) + " offsets without a component list for " +
                                std::to_string(n) + " vertices; target ignored");
        return false;
    }
    if (ids.size() != count)
        addWarning(warning, where + ": " + std::to_string(ids.size()) + " components for " + std::to_string(count) +
                                " offsets, the shorter count used");
    size_t outside = 0;
    for (size_t i = 0; i < std::min(ids.size(), count); ++i) {
        if (ids[i] < 0 || size_t(ids[i]) >= n) {
            ++outside;
            continue;
        }
        for (int k = 0; k < 3; ++k) offsets[3 * size_t(ids[i]) + k] += pts[3 * i + k];
    }
    if (outside)
        addWarning(warning, where + ": " + std::to_string(outside) + " offsets for vertices beyond the mesh's " +
                                std::to_string(n) + " were ignored");
    return true;
}

float optionalWeight(const std::vector<std::optional<float>>& list, size_t v) {
    return v < list.size() && list[v] ? *list[v] : 1.0f;
}

}  // namespace

MeshData applyBlendShape(const MeshData& in, const BlendShapeParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "blendShape", warning)) return in;
    MeshData out = in;
    std::vector<double> points = meshPoints(in);
    deformBlendShape(points, params, warning);
    setMeshPoints(out, points);
    return out;
}

void deformBlendShape(std::vector<double>& points, const BlendShapeParams& params, std::string* warning) {
    if (!std::isfinite(params.envelope)) {
        addWarning(warning, "blendShape: envelope is not a number, geometry passed through");
        return;
    }
    const size_t n = points.size() / 3;
    std::vector<double> total(3 * n, 0.0);
    for (const BlendShapeTarget& target : params.targets) {
        double w = target.index >= 0 && size_t(target.index) < params.weight.size() ? params.weight[target.index] : 0.0;
        if (!std::isfinite(w)) {
            addWarning(warning, "blendShape: weight " + std::to_string(target.index) + " is not a number, target ignored");
            continue;
        }
        if (w == 0 || target.items.empty()) continue;

        // Knots of the target's path: its items by weight, plus the rest shape at 0.
        struct Knot {
            double weight;
            std::vector<double> offsets;
        };
        std::vector<Knot> knots;
        bool usable = true;
        for (const BlendShapeTargetItem& item : target.items) {
            Knot k{itemWeight(item.itemIndex), {}};
            if (!itemOffsets(points, item, target.index, k.offsets, warning)) {
                usable = false;
                break;
            }
            knots.push_back(std::move(k));
        }
        if (!usable) continue;
        std::sort(knots.begin(), knots.end(), [](const Knot& a, const Knot& b) { return a.weight < b.weight; });
        knots.erase(std::unique(knots.begin(), knots.end(),
                                [](const Knot& a, const Knot& b) { return a.weight == b.weight; }),
                    knots.end());
        auto hasZero = std::any_of(knots.begin(), knots.end(), [](const Knot& k) { return k.weight == 0; });
        if (!hasZero) {
            knots.push_back({0.0, std::vector<double>(3 * n, 0.0)});
            std::sort(knots.begin(), knots.end(), [](const Knot& a, const Knot& b) { return a.weight < b.weight; });
        }

        std::vector<double> offset(3 * n);
        if (knots.size() == 1) {
            offset = knots[0].offsets;
        } else {
            size_t seg = 0;  // the piece [seg, seg + 1] holding w, or the end piece beyond
            while (seg + 2 < knots.size() && w > knots[seg + 1].weight) ++seg;
            const Knot& a = knots[seg];
            const Knot& b = knots[seg + 1];
            double t = (w - a.weight) / (b.weight - a.weight);
            for (size_t i = 0; i < 3 * n; ++i) offset[i] = a.offsets[i] + t * (b.offsets[i] - a.offsets[i]);
        }
        for (size_t v = 0; v < n; ++v) {
            double tw = optionalWeight(target.targetWeights, v);
            for (int k = 0; k < 3; ++k) total[3 * v + k] += tw * offset[3 * v + k];
        }
    }
    std::vector<uint8_t> member = meshmod::memberMask(params.members, n, "blendShape", warning);
    for (size_t v = 0; v < n; ++v) {
        if (!member[v]) continue;
        double scale = params.envelope * optionalWeight(params.baseWeights, v);
        for (int k = 0; k < 3; ++k) points[3 * v + k] += scale * total[3 * v + k];
    }
}

}  // namespace mayahost
