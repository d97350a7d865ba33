#pragma once
// Turns what a read or write throws into the result code of the frame and tag classes,
// keeping the message, so that no exception leaves their public operations.

#include "base/AudioErrors.h"
#include "base/Streams.h"

#include <exception>
#include <string>

namespace lorvane {

// The step returns its own result code; Failure is the exception that means the stream
// failed (code failureCode), anything else gives 17.
template <typename Failure, typename Step>
TAudioError GuardedCall(std::string& message, TAudioError failureCode, Step&& step) {
    try {
        return step();
    } catch (const Failure& error) {
        message = error.what();
        return failureCode;
    } catch (const std::exception& error) {
        message = error.what();
        return Mp3ERR_Unclassified;
    }
}

// 9 when the stream ends early, 17 for any other failure.
template <typename Step> TAudioError GuardedRead(std::string& message, Step&& step) {
    return GuardedCall<EReadError>(message, FileErr_StreamRead, step);
}

// 10 on a write error, 17 for any other failure.
template <typename Step> TAudioError GuardedWrite(std::string& message, Step&& step) {
    return GuardedCall<EWriteError>(message, FileErr_StreamWrite, step);
}

} // namespace lorvane
