#pragma once

#include <ostream>
#include <streambuf>

namespace lumetra::cli {

/// A stream buffer in front of another that remembers the reason (errno) of the first write through it
/// that failed: a long output that fails part-way is then reported with its reason at the end, whatever
/// ran in between.
class FailureRecordingBuffer : public std::streambuf {
 public:
  explicit FailureRecordingBuffer(std::streambuf* next) : next_(next) {}
  /// The errno of the first failed write or flush; 0 when none failed or the failure gave no reason.
  [[nodiscard]] int error() const { return error_; }

 protected:
  int_type overflow(int_type character) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  void Failed();

  std::streambuf* next_;
  int error_ = 0;
  bool failed_ = false;
};

/// Flushes `out` and checks that everything written to it arrived. Returns `exit_code` when it did;
/// otherwise writes one line on `errors` ("lumetra-cli: the output could not be written: No space left on
/// device") and returns 1, so that a full disk or a closed pipe is never reported as success. The reason
/// of a failure before the flush is known when `out` writes through a `FailureRecordingBuffer`.
[[nodiscard]] int FinishOutput(std::ostream& out, std::ostream& errors, int exit_code);

}  // namespace lumetra::cli
