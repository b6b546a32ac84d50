#pragma once
// The written scene read back with the scene file reader, so that tests ask
// for groups, cameras and materials by name instead of matching text.

#include "sceneapi/DalReader.h"

#include <gtest/gtest.h>

#include <string>

namespace daltext {

using Block = dal::Block;

// The whole document as the children and statements of an unnamed root; a
// file the reader rejects fails the test and gives what was read before the fault.
inline Block parse(const std::string& text) {
  dal::Document document;
  dal::ReadError error;
  if (!dal::read(text, document, error)) ADD_FAILURE() << "the scene does not read: " << error.describe();
  return std::move(document.root);
}

// `block`, or after a failure naming `what` an empty block, whose lookups
// then fail in turn.
inline const Block& need(const Block* block, const std::string& what) {
  static const Block none;
  if (!block) ADD_FAILURE() << "no " << what;
  return block ? *block : none;
}

}  // namespace daltext
