#pragma once
// Every Maya call that yields an MStatus is tested with a label. A success
// leaves a DEBUG4 trace; a failure leaves a WARNING with Maya's reason and
// lets Maya print its own complaint on standard error. Labels are often
// worded as the failure ("could not open Maya file"); they are written as they
// stand either way.

#include "common/Log.h"

#include <maya/MStatus.h>
#include <maya/MString.h>

// Logs and prints the outcome; the caller carries on either way.
#define STATUS_REPORT(statusExpr, label)                                   \
  do {                                                                     \
    const MStatus statusReported_ = (statusExpr);                          \
    if (statusReported_.error()) {                                         \
      LOG(logWARNING) << (label) << ": " << statusReported_.errorString()  \
                      << "\t";                                             \
      statusReported_.perror(label);                                       \
    } else {                                                               \
      LOG(logDEBUG4) << "TRACE CHECK: " << (label);                        \
    }                                                                      \
  } while (0)

// As STATUS_REPORT, and a failure makes the enclosing operation return it.
#define STATUS_CHECK(statusExpr, label)                                    \
  do {                                                                     \
    const MStatus statusChecked_ = (statusExpr);                           \
    STATUS_REPORT(statusChecked_, label);                                  \
    if (statusChecked_.error()) return statusChecked_;                     \
  } while (0)
