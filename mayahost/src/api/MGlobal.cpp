// MGlobal, with the small command interpreter behind executeCommand: the
// queries the importer makes (ls, currentUnit) are answered from the scene.

#include <maya/MGlobal.h>

#include "api/ApiSupport.h"

#include <cstdio>
#include <map>
#include <sstream>
#include <vector>

using namespace mayahost;

namespace {

const std::map<std::string, std::string> kShortLinear = {
    {"millimeter", "mm"}, {"centimeter", "cm"}, {"meter", "m"}, {"kilometer", "km"},
    {"inch", "in"},       {"foot", "ft"},       {"yard", "yd"}, {"mile", "mi"}};
const std::map<std::string, std::string> kShortAngle = {{"degree", "deg"}, {"radian", "rad"},
                                                        {"angMinute", "min"}, {"angSecond", "sec"}};

std::string shortOrLong(const std::string& unit, const std::map<std::string, std::string>& table, bool full) {
    auto it = table.find(unit);
    if (it != table.end()) return full ? unit : it->second;
    for (const auto& [longName, shortName] : table)
        if (shortName == unit) return full ? longName : shortName;
    return unit;
}

std::vector<std::string> words(const std::string& command) {
    std::istringstream in(command);
    std::vector<std::string> out;
    for (std::string w; in >> w;) {
        if (!w.empty() && w.back() == ';') w.pop_back();
        if (!w.empty()) out.push_back(w);
    }
    return out;
}

MStatus unknownCommand(const std::string& command) {
    return MStatus::withReason(MStatus::kFailure, "command not available in this host: " + command);
}

MStatus runCommand(const std::string& command, MStringArray& result) {
    result.clear();
    std::vector<std::string> w = words(command);
    if (w.empty()) return unknownCommand(command);
    Scene& scene = currentScene();
    if (w[0] == "currentUnit") {
        bool query = false, full = false;
        std::string what;
        for (size_t k = 1; k < w.size(); ++k) {
            const std::string& f = w[k];
            if (f == "-q" || f == "-query") query = true;
            else if (f == "-f" || f == "-fullName") full = true;
            else if (f == "-l" || f == "-linear") what = "linear";
            else if (f == "-a" || f == "-angle") what = "angle";
            else if (f == "-t" || f == "-time") what = "time";
            else return MStatus::withReason(MStatus::kInvalidParameter, "currentUnit: unknown flag " + f);
        }
        if (!query) return MStatus::withReason(MStatus::kNotImplemented, "currentUnit: only queries are answered");
        if (what.empty() || what == "linear") result.append(shortOrLong(scene.linearUnit(), kShortLinear, full).c_str());
        else if (what == "angle") result.append(shortOrLong(scene.angleUnit(), kShortAngle, full).c_str());
        else result.append(scene.timeUnit().c_str());
        return MStatus::kSuccess;
    }
    if (w[0] == "ls") {
        bool shapes = false, transforms = false, dag = false, longNames = false;
        std::vector<std::string> types;
        for (size_t k = 1; k < w.size(); ++k) {
            const std::string& f = w[k];
            if (f == "-s" || f == "-shapes") shapes = true;
            else if (f == "-tr" || f == "-transforms") transforms = true;
            else if (f == "-dag") dag = true;
            else if (f == "-l" || f == "-long") longNames = true;
            else if ((f == "-type" || f == "-typ") && k + 1 < w.size()) types.push_back(w[++k]);
            else return MStatus::withReason(MStatus::kInvalidParameter, "ls: unsupported argument " + f);
        }
        for (const auto& node : scene.nodes()) {
            if (node->isWorld()) continue;
            if (shapes && !node->hasFn(MFn::kShape)) continue;
            if (transforms && !node->hasFn(MFn::kTransform)) continue;
            if (dag && !node->isDag()) continue;
            if (!types.empty()) {
                bool any = false;
                for (const std::string& t : types) any = any || node->type().isA(t);
                if (!any) continue;
            }
            std::vector<MDagPath> paths = node->isDag() ? allPathsTo(*node) : std::vector<MDagPath>{};
            if (longNames && !paths.empty()) {
                for (const MDagPath& p : paths) result.append(p.fullPathName());
            } else {
                result.append(uniqueNodeName(*node).c_str());
            }
        }
        return MStatus::kSuccess;
    }
    return unknownCommand(command);
}

}  // namespace

MGlobal::MMayaState MGlobal::mayaState(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return kLibraryApp;
}

MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool displayEnabled, bool) {
    MStatus s = runCommand(command.str(), result);
    if (!s && displayEnabled) displayError(MString(s.reason().c_str()));
    return s;
}

MStatus MGlobal::executeCommand(const MString& command, bool displayEnabled, bool undoEnabled) {
    MStringArray ignored;
    return executeCommand(command, ignored, displayEnabled, undoEnabled);
}

MStatus MGlobal::executeCommand(const MString& command, MString& result, bool displayEnabled, bool undoEnabled) {
    MStringArray all;
    MStatus s = executeCommand(command, all, displayEnabled, undoEnabled);
    if (s) result = all.length() ? all[0] : MString();
    return s;
}

MStatus MGlobal::executeCommand(const MString& command, int& result, bool displayEnabled, bool undoEnabled) {
    MStringArray all;
    MStatus s = executeCommand(command, all, displayEnabled, undoEnabled);
    if (s) result = static_cast<int>(all.length());
    return s;
}

MStatus MGlobal::executeCommand(const MString& command, double& result, bool displayEnabled, bool undoEnabled) {
    MStringArray all;
    MStatus s = executeCommand(command, all, displayEnabled, undoEnabled);
    if (s) result = all.length() && all[0].isDouble() ? all[0].asDouble() : static_cast<double>(all.length());
    return s;
}

MVector MGlobal::upAxis(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return currentScene().upAxis() == 'z' ? MVector::zAxis : MVector::yAxis;
}

bool MGlobal::isYAxisUp(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return currentScene().upAxis() == 'y';
}

bool MGlobal::isZAxisUp(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return currentScene().upAxis() == 'z';
}

void MGlobal::displayInfo(const MString& text) {
    std::fprintf(stderr, "%s\n", text.asChar());
    std::fflush(stderr);
}

void MGlobal::displayWarning(const MString& text) {
    std::fprintf(stderr, "Warning: %s\n", text.asChar());
    std::fflush(stderr);
}

void MGlobal::displayError(const MString& text) {
    std::fprintf(stderr, "Error: %s\n", text.asChar());
    std::fflush(stderr);
}
