#pragma once
// Coordinate spaces in which transform and camera queries answer.

class MSpace {
public:
    enum Space {
        kInvalid = 0,
        kTransform = 1,      // the transform's own (local) space
        kPreTransform = 2,   // before the node's transformation: object space
        kPostTransform = 3,  // after the node's transformation
        kWorld = 4,
        kLast = 5,
        kObject = kPreTransform
    };
};
