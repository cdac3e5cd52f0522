#include "app/cli/FinishOutput.h"

#include <cerrno>

#include "files/ReplaceFile.h"

namespace lumetra::cli {

void FailureRecordingBuffer::Failed() {
  if (!failed_) error_ = errno;
  failed_ = true;
}

FailureRecordingBuffer::int_type FailureRecordingBuffer::overflow(int_type character) {
  if (traits_type::eq_int_type(character, traits_type::eof())) return traits_type::not_eof(character);
  errno = 0;
  const int_type result = next_->sputc(traits_type::to_char_type(character));
  if (traits_type::eq_int_type(result, traits_type::eof())) Failed();
  return result;
}

std::streamsize FailureRecordingBuffer::xsputn(const char* text, std::streamsize count) {
  errno = 0;
  const std::streamsize written = next_->sputn(text, count);
  if (written != count) Failed();
  return written;
}

int FailureRecordingBuffer::sync() {
  errno = 0;
  const int result = next_->pubsync();
  if (result != 0) Failed();
  return result;
}

int FinishOutput(std::ostream& out, std::ostream& errors, int exit_code) {
  const bool failed_before = !out;
  errno = 0;
  out.flush();
  if (out) return exit_code;
  int error = errno;
  // A stream that failed earlier keeps no reason of its own; its recording buffer may.
  if (failed_before) {
    const auto* recording = dynamic_cast<const FailureRecordingBuffer*>(out.rdbuf());
    error = recording != nullptr ? recording->error() : 0;
  }
  errors << "lumetra-cli: the output could not be written";
  if (error != 0) errors << ": " << SystemReason(error);
  errors << '\n';
  errors.flush();
  return 1;
}

}  // namespace lumetra::cli
