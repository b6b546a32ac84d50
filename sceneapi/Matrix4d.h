#pragma once
// 16 doubles, row-major, translation in elements 12 to 14 (row vectors: a
// child's world matrix is its local matrix times its parent's world matrix).

#include <array>

using Matrix4d = std::array<double, 16>;
