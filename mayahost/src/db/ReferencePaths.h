#pragma once
// Where a referenced scene lies, as Maya looks for it: the stored path with
// its environment variables expanded ($VAR, ${VAR}, %VAR%) and Windows
// separators turned round; a relative path under the referencing scene's
// folder; and, when the stored path leads nowhere, the file name alone in
// that folder.

#include <string>
#include <string_view>
#include <vector>

namespace mayahost {

// `text` with every $VAR, ${VAR} and %VAR% the environment defines replaced
// by its value; unknown variables stay as written.
std::string expandEnvironment(std::string_view text);

// The paths to try, in order, for `stored` referenced from `sceneFile`.
std::vector<std::string> referenceCandidates(std::string_view stored, const std::string& sceneFile);

}  // namespace mayahost
