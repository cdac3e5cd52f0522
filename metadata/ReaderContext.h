#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumetra {

/// Where the maker-note record renderers list the named entries they decode ("Focus Mode", ...).
class NamedTagSink {
 public:
  /// Lists a named entry, when the read lists that name.
  virtual void AddNamedTag(std::string_view name, std::string_view value) = 0;
  /// Whether the read lists entries of that name: a record read without its text decodes only those.
  [[nodiscard]] virtual bool ListsName(std::string_view name) const = 0;

 protected:
  ~NamedTagSink() = default;
};

/// The state one read of one file shares between its directory walk and its maker-note walk. Each
/// `TimgData` owns its own, so files can be read on several threads at once.
struct ReaderContext {
  /// The (base, start) of every directory walked for the current directory reader; a pointer back to one of
  /// them is not followed again.
  std::vector<std::pair<int64_t, int64_t>> VisitedDirectories;
  /// On only while the 35 mm step reads pixel counts from resolution numerators.
  bool NumeratorMode = false;
  /// The reader whose maker note is being read: the target of the renderers' named entries.
  NamedTagSink* CurrentImageInfo = nullptr;
  /// Set by the maker-note record renderers, read by the maker-note walk after each renderer call.
  bool SubRecordFlag = false;
  /// Whether the walk reads the lines a record renderer returns: only the text listing shows them, so a read
  /// without one spares their building (the named entries are listed all the same).
  bool RecordLinesWanted = true;
  /// A lens name from a maker note, used when the file has no LensModel tag.
  std::string makerLensText;
};

}  // namespace lumetra
