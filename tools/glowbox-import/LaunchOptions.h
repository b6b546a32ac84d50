#pragma once
// Command-line options of glowbox-import and their translation into the
// importer's settings.

#include "common/ImportArgs.h"

#include <string>
#include <vector>

struct LaunchOptions {
  // Scene files and folders of scenes, as given.
  std::vector<std::string> scenes;
  // Empty: each scene's name with the extension ".dal", in the scene's folder.
  // With several scenes, the folder the scene files are written into.
  std::string output;
  std::string logLevel = "INFO";
  // Importers running at once; 0: one per processor core.
  int jobs = 0;
  bool readable = false;
  bool includeNurbs = false;
  bool tessellate = true;
  bool splitLayers = false;
  bool uniqueMaterials = false;
  bool collapseHierarchy = true;
  bool printArgs = false;
  bool help = false;
};

struct ParseResult {
  LaunchOptions options;
  // Empty on success; else what was wrong, for a one-line message.
  std::string error;
};

// Reads argv[1..argc-1]. Does not look at the file system.
ParseResult parseLaunchOptions(int argc, const char* const* argv);

// "dir/scene.ma" -> "dir/scene.dal"; a name without extension gains one.
// Only the last path component's extension is replaced.
std::string defaultOutputFor(const std::string& scene);

// The settings mayaimport receives for one scene: argument version 6.2 and
// one entry per option, every switch written out explicitly so the log's dump
// shows it.
ImportArgs toImportArgs(const LaunchOptions& options, const std::string& scene, const std::string& output);

// The level names the log understands, most severe first.
const std::vector<std::string>& logLevelNames();
