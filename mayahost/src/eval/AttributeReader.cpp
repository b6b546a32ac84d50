#include "eval/AttributeReader.h"

#include "base/Limits.h"
#include "common/Log.h"

#include <charconv>
#include <cmath>

namespace mayahost {

std::optional<double> AttributeReader::number(const std::string& plug) const {
    PlugPath path;
    if (!resolve(plug, path)) return std::nullopt;
    const PlugReading reading = scene_.read(node_, path);
    if (reading.numbers.empty()) return std::nullopt;
    return reading.numbers.front();
}

double AttributeReader::number(const std::string& plug, double fallback) const {
    std::optional<double> value = number(plug);
    return value ? *value : fallback;
}

std::string indexed(const std::string& multi, int64_t index) { return multi + "[" + std::to_string(index) + "]"; }

std::string describedNode(const Node& node) { return "node type " + node.typeName() + " (" + node.name() + ")"; }

void logFindings(const Scene& scene, const char* what, const Node& shape, const std::vector<std::string>& warnings,
                 const std::string& error) {
    for (const std::string& warning : warnings)
        LOG(logWARNING) << scene.fileName() << ": " << what << " " << shape.name() << ": " << warning;
    if (!error.empty()) LOG(logWARNING) << scene.fileName() << ": " << what << " " << shape.name() << " is empty: " << error;
}

std::string historyTooDeep(const Node& node) {
    return "history deeper than " + std::to_string(limits().maxHistoryDepth) + " nodes (maxHistoryDepth): " + node.name() +
           " and what feeds it are not evaluated";
}

bool CreatorAttributes::number(std::string_view shortName, double& value) const {
    std::optional<std::vector<double>> v = reader_.tuple(std::string(shortName), 1);
    if (!v) return false;
    value = v->front();
    return true;
}

bool CreatorAttributes::vector3(std::string_view shortName, double (&value)[3]) const {
    std::optional<std::vector<double>> v = reader_.tuple(std::string(shortName), 3);
    if (!v) return false;
    for (int i = 0; i < 3; ++i) value[i] = (*v)[size_t(i)];
    return true;
}

std::optional<std::vector<double>> AttributeReader::tuple(const std::string& plug, size_t count) const {
    PlugPath path;
    if (!resolve(plug, path)) return std::nullopt;
    const PlugReading reading = scene_.read(node_, path);
    if (!reading.found || reading.numbers.empty()) return std::nullopt;
    std::vector<double> out = reading.numbers;
    out.resize(count, 0.0);
    return out;
}

std::optional<MMatrix> AttributeReader::matrix(const std::string& plug) const {
    PlugPath path;
    if (!resolve(plug, path)) return std::nullopt;
    const PlugReading reading = scene_.read(node_, path);
    if (!reading.found || reading.numbers.size() != 16) return std::nullopt;
    MMatrix m;
    for (unsigned i = 0; i < 16; ++i) {
        if (!std::isfinite(reading.numbers[i])) return std::nullopt;
        m(i / 4, i % 4) = reading.numbers[i];
    }
    return m;
}

std::optional<std::vector<std::string>> AttributeReader::componentList(const std::string& plug) const {
    PlugPath path;
    if (!resolve(plug, path)) return std::nullopt;
    const PlugReading reading = scene_.read(node_, path);
    const auto* items = reading.data ? std::get_if<scenefile::StringArray>(reading.data) : nullptr;
    if (!items) return std::nullopt;
    return items->items;
}

std::optional<std::string> AttributeReader::string(const std::string& plug) const {
    PlugPath path;
    if (!resolve(plug, path)) return std::nullopt;
    const PlugReading reading = scene_.read(node_, path);
    const auto* text = reading.data ? std::get_if<scenefile::StringValue>(reading.data) : nullptr;
    if (!text || !reading.found) return std::nullopt;
    return text->text;
}

std::optional<std::vector<float>> AttributeReader::points(const std::string& plug) const {
    PlugPath path;
    if (!resolve(plug, path)) return std::nullopt;
    const PlugReading reading = scene_.read(node_, path);
    const auto* array = reading.data ? std::get_if<scenefile::PointArray>(reading.data) : nullptr;
    if (!array || array->components < 3) return std::nullopt;
    std::vector<float> out;
    out.reserve(array->count() * 3);
    for (size_t p = 0; p < array->count(); ++p)
        for (size_t c = 0; c < 3; ++c) out.push_back(float(array->values[p * array->components + c]));
    return out;
}

std::vector<int64_t> AttributeReader::indices(const std::string& multi) const {
    PlugPath path;
    if (!resolve(multi, path)) return {};
    return node_.logicalIndices(path);
}

PlugRef AttributeReader::source(const std::string& plug) const {
    PlugPath path;
    if (!resolve(plug, path)) return {};
    return scene_.sourceOf(node_, path);
}

bool parseRangeKey(const std::string& key, const std::string& prefix, const std::string& rest, int64_t& first,
                   int64_t& last) {
    if (key.size() < prefix.size() + 3 + rest.size() || key.compare(0, prefix.size(), prefix) != 0 ||
        key[prefix.size()] != '[' || key.compare(key.size() - rest.size(), rest.size(), rest) != 0)
        return false;
    const char* begin = key.data() + prefix.size() + 1;
    const char* end = key.data() + key.size() - rest.size();
    if (end[-1] != ']') return false;
    --end;
    auto parsed = std::from_chars(begin, end, first);
    if (parsed.ec != std::errc() || first < 0) return false;
    last = first;
    if (parsed.ptr != end) {
        if (*parsed.ptr != ':') return false;
        parsed = std::from_chars(parsed.ptr + 1, end, last);
        if (parsed.ec != std::errc() || parsed.ptr != end || last < first) return false;
    }
    return true;
}

}  // namespace mayahost
