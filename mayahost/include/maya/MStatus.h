#pragma once
// Result of an API call: a typed code and, when the stand-in knows why a call
// failed, a readable reason that errorString() and perror() include.

#include <maya/MTypes.h>

#include <iosfwd>
#include <memory>
#include <string>

class MStatus {
public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure,
        kInsufficientMemory,
        kInvalidParameter,
        kLicenseFailure,
        kUnknownParameter,
        kNotImplemented,
        kNotFound,
        kEndOfFile
    };

    MStatus() = default;
    MStatus(MStatusCode code) : code_(code) {}  // NOLINT: implicit as in the API

    bool operator==(const MStatus& other) const { return code_ == other.code_; }
    bool operator==(MStatusCode code) const { return code_ == code; }
    bool operator!=(const MStatus& other) const { return code_ != other.code_; }
    bool operator!=(MStatusCode code) const { return code_ != code; }
    explicit operator bool() const { return code_ == kSuccess; }

    bool error() const { return code_ != kSuccess; }
    void clear() { code_ = kSuccess; reason_.reset(); }
    MStatusCode statusCode() const { return code_; }

    // "(kCode): reason"; the reason is the stand-in's own text when it has one.
    MString errorString() const;
    // Prints "text: errorString" and a line end on standard error.
    void perror(const char* text) const;
    void perror(const MString& text) const;

    // Stand-in extension: a status that carries the reason of a failure.
    static MStatus withReason(MStatusCode code, std::string reason);
    // The stand-in's reason text alone; empty when there is none.
    const std::string& reason() const;

    friend std::ostream& operator<<(std::ostream& os, const MStatus& status);

private:
    MStatusCode code_ = kSuccess;
    std::shared_ptr<const std::string> reason_;
};

#define CHECK_MSTATUS(_status)                                                        \
    do {                                                                              \
        MStatus _maStat = (_status);                                                  \
        if (MStatus::kSuccess != _maStat.statusCode()) _maStat.perror(#_status);      \
    } while (0)

#define CHECK_MSTATUS_AND_RETURN_IT(_status)                                          \
    do {                                                                              \
        MStatus _maStat = (_status);                                                  \
        if (MStatus::kSuccess != _maStat.statusCode()) {                              \
            _maStat.perror(#_status);                                                 \
            return _maStat;                                                           \
        }                                                                             \
    } while (0)

#define CHECK_MSTATUS_AND_RETURN(_status, _retVal)                                    \
    do {                                                                              \
        MStatus _maStat = (_status);                                                  \
        if (MStatus::kSuccess != _maStat.statusCode()) {                              \
            _maStat.perror(#_status);                                                 \
            return (_retVal);                                                         \
        }                                                                             \
    } while (0)
