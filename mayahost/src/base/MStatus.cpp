#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstdio>
#include <ostream>

namespace {

const char* codeName(MStatus::MStatusCode code) {
    switch (code) {
    case MStatus::kSuccess: return "kSuccess";
    case MStatus::kFailure: return "kFailure";
    case MStatus::kInsufficientMemory: return "kInsufficientMemory";
    case MStatus::kInvalidParameter: return "kInvalidParameter";
    case MStatus::kLicenseFailure: return "kLicenseFailure";
    case MStatus::kUnknownParameter: return "kUnknownParameter";
    case MStatus::kNotImplemented: return "kNotImplemented";
    case MStatus::kNotFound: return "kNotFound";
    case MStatus::kEndOfFile: return "kEndOfFile";
    }
    return "kFailure";
}

const char* defaultReason(MStatus::MStatusCode code) {
    switch (code) {
    case MStatus::kSuccess: return "Success";
    case MStatus::kFailure: return "Unexpected Internal Failure";
    case MStatus::kInsufficientMemory: return "Insufficient Memory";
    case MStatus::kInvalidParameter: return "Object is incompatible with this method";
    case MStatus::kLicenseFailure: return "License Failure";
    case MStatus::kUnknownParameter: return "Unknown Parameter";
    case MStatus::kNotImplemented: return "Not Implemented";
    case MStatus::kNotFound: return "Not Found";
    case MStatus::kEndOfFile: return "End Of File";
    }
    return "Unexpected Internal Failure";
}

const std::string kNoReason;

}  // namespace

MStatus MStatus::withReason(MStatusCode code, std::string reason) {
    MStatus status(code);
    status.reason_ = std::make_shared<const std::string>(std::move(reason));
    return status;
}

const std::string& MStatus::reason() const {
    return reason_ ? *reason_ : kNoReason;
}

MString MStatus::errorString() const {
    std::string text = "(";
    text += codeName(code_);
    text += "): ";
    text += reason_ && !reason_->empty() ? *reason_ : defaultReason(code_);
    return MString(text.c_str());
}

void MStatus::perror(const char* text) const {
    std::fprintf(stderr, "%s: %s\n", text ? text : "", errorString().asChar());
    std::fflush(stderr);
}

void MStatus::perror(const MString& text) const {
    perror(text.asChar());
}

std::ostream& operator<<(std::ostream& os, const MStatus& status) {
    return os << status.errorString();
}
