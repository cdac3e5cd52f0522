#include "app/cli/FinishOutput.h"

#include <cerrno>

#include "files/ReplaceFile.h"

namespace lumetra::cli {

int FinishOutput(std::ostream& out, std::ostream& errors, int exit_code) {
  // A stream that failed earlier keeps no reason; a failing flush leaves it in errno.
  const bool failed_before = !out;
  errno = 0;
  out.flush();
  if (out) return exit_code;
  const int error = errno;
  errors << "lumetra-cli: the output could not be written";
  if (!failed_before && error != 0) errors << ": " << SystemReason(error);
  errors << '\n';
  errors.flush();
  return 1;
}

}  // namespace lumetra::cli
