#include "survey/RecordsCache.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

#include "survey/RecordsSchema.h"
#include "survey/RecordsTemplate.h"
#include "survey/RowBytes.h"
#include "survey/SqliteDatabase.h"

#ifndef LUMETRA_READER_SOURCES_DIGEST
#define LUMETRA_READER_SOURCES_DIGEST 0
#endif

namespace lumetra {
namespace {

using records_schema::kApplicationId;
using records_schema::kFileBytes;
using records_schema::kFileFields;
using records_schema::kLeadingFacts;
using records_schema::kLensTextColumns;
using records_schema::kPageBytes;
using records_schema::kSchemaVersion;
using records_schema::kSequenceBits;
using records_schema::kTagColumns;

// Bumped with every change of what the reader gives for a photo that its sources' digest may not show (a
// rule moved into a table read from elsewhere, say); every row written before is then read again.
constexpr uint32_t kReaderRulesVersion = 1;
// Rows kept before they are written in one transaction.
constexpr size_t kBatchRows = 1024;
// A row's path and facts, as most photos' are: the room a batch's text is given at its start.
constexpr size_t kRowBytesExpected = 320;
// The journal's size once it has been folded into the database.
constexpr int64_t kJournalLimitBytes = int64_t{4} << 20;

// The texts kept after the tags, in the order of their columns.
constexpr std::array<std::string PhotoTags::*, kLensTextColumns.size()> kLensTexts = {
    &PhotoTags::makerLensText, &PhotoTags::xmp_lens, &PhotoTags::xmp_lens_info};
// A tag added to PhotoTag without its column would be kept under an empty name.
static_assert(std::none_of(kTagColumns.begin(), kTagColumns.end(), [](std::string_view name) { return name.empty(); }),
              "every survey tag needs its column in the records cache");

// The facts are kept in one text column, joined by this character (the unit separator): one value for
// SQLite to encode and decode instead of one per fact. A photo whose texts hold it is not remembered.
constexpr char kFactSeparator = '\x1f';
// The column of a row after its name, as Find and the folder scan read it. A row's data is one blob: the
// file's identity, the rules stamp and the checksum as 64-bit integers, little-endian, then the facts text.
// One value for SQLite to bind, encode and decode instead of nine.
constexpr const char* kRowColumns = "data";

// A photo's row number is its folder's number shifted left by these bits, plus a number of its own in the
// folder: a folder's rows are one range of row numbers, so a folder's rows are read in one range scan and
// a first survey appends at the end of the table, where SQLite starts a new page when one is full instead
// of rebalancing the rows among three (as it does for keys that sort among others, such as paths).
constexpr int64_t kSequenceMask = (int64_t{1} << kSequenceBits) - 1;
constexpr int64_t kMaxFolderNumber = INT64_MAX >> kSequenceBits;

// The values each row binds.
using detail::kRowsPerInsert;
constexpr size_t kColumnsPerRow = 3;

// A folder with more rows than this is looked up photo by photo rather than held in memory whole.
constexpr size_t kMaxFolderRows = 2048;
// Folders whose rows are held at once: reading threads ahead of the walk may be one folder further on.
constexpr size_t kHeldFolders = 2;

// The hash a folder's names are known by while its rows are written or looked up one by one.
uint64_t NameHash(std::string_view name) { return std::hash<std::string_view>{}(name); }

// How many bytes of `bytes` are `c`, counted in a vector's byte lanes, each at most 255 before the lanes are
// summed: sixteen bytes an instruction or two, where a count in a size_t has every byte widened to 64 bits.
size_t CountByteInLanes(std::string_view bytes, char c) {
  size_t count = 0;
  while (!bytes.empty()) {
    const size_t block = std::min<size_t>(bytes.size(), 255);
    uint8_t in_block = 0;
    for (const char b : bytes.substr(0, block)) in_block += static_cast<uint8_t>(b == c);
    count += in_block;
    bytes.remove_prefix(block);
  }
  return count;
}

#if defined(__SSE2__)
// Sixteen zero bytes, then sixteen set: the sixteen from `16 - n` on keep all but a block's first n bytes.
constexpr auto kLastBytesMask = [] {
  std::array<uint8_t, 32> mask{};
  for (size_t i = 16; i < mask.size(); ++i) mask[i] = 0xFF;
  return mask;
}();

// The byte lanes' counts added up.
size_t SumLanes(__m128i lanes) {
  const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
  return static_cast<size_t>(_mm_cvtsi128_si32(sums)) + static_cast<size_t>(_mm_extract_epi16(sums, 4));
}
#endif

// How many bytes of `bytes` are `c`. With SSE2 (every x86-64) sixteen bytes are compared at once, and the last
// few as the sixteen that end the bytes, those counted already masked off, instead of one by one.
size_t CountByte(std::string_view bytes, char c) {
#if defined(__SSE2__)
  constexpr size_t kBlock = 16;
  if (bytes.size() < kBlock) return CountByteInLanes(bytes, c);
  const __m128i wanted = _mm_set1_epi8(c);
  const char* at = bytes.data();
  const char* const end = at + bytes.size();
  size_t count = 0;
  while (static_cast<size_t>(end - at) >= kBlock) {
    // A lane counts at most 255 blocks before it would wrap.
    const char* const stop = at + std::min<size_t>(static_cast<size_t>(end - at) / kBlock, 255) * kBlock;
    __m128i lanes = _mm_setzero_si128();
    for (; at != stop; at += kBlock) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(block, wanted));
    }
    count += SumLanes(lanes);
  }
  if (at != end) {
    const size_t counted = kBlock - static_cast<size_t>(end - at);
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - kBlock));
    const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLastBytesMask.data() + kBlock - counted));
    count += SumLanes(_mm_sub_epi8(_mm_setzero_si128(), _mm_and_si128(_mm_cmpeq_epi8(block, wanted), keep)));
  }
  return count;
#else
  return CountByteInLanes(bytes, c);
#endif
}

// The longest decimal text of a capture time.
constexpr size_t kTakenDigits = std::numeric_limits<int64_t>::digits10 + 2;

// "00" to "99", two characters each.
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// Writes the decimal text of `value` at `out`, which has room for kTakenDigits bytes, and returns its end. The
// digits are made two a step from the last into scratch room, copied as one block of that room's size: no
// count of the digits first, as std::to_chars makes.
char* WriteDecimal(int64_t value, char* out) {
  // Only "no capture time" is negative.
  if (value < 0) [[unlikely]]
    return std::to_chars(out, out + kTakenDigits, value).ptr;
  std::array<char, 2 * kTakenDigits> scratch;
  char* const end = scratch.data() + kTakenDigits;
  char* at = end;
  auto left = static_cast<uint64_t>(value);
  for (; left >= 100; left /= 100) {
    at -= 2;
    std::memcpy(at, &kDigitPairs[2 * (left % 100)], 2);
  }
  if (left >= 10) {
    at -= 2;
    std::memcpy(at, &kDigitPairs[2 * left], 2);
  } else {
    *--at = static_cast<char>('0' + left);
  }
  std::memcpy(out, at, kTakenDigits);
  return out + (end - at);
}

// A text of at most this many bytes is copied as one block of this size, whatever its length.
constexpr size_t kTextBlock = 16;
// A string's storage holds its capacity and a terminator, so a block read from a short text whose capacity
// reaches the block (every short string's does: its storage is inside the string) stays within its storage.
// The bytes copied past the text's end land in the row's room and are overwritten by the separator and the
// texts after it, or left past the row's end.
// The room the facts take when every text is short: "0"/"1", the capture time, a block and a separator for
// each text. A longer text makes room for itself.
constexpr size_t kShortFactsBytes =
    kLeadingFacts + kTakenDigits + (kPhotoTagCount + kLensTexts.size()) * (kTextBlock + 1);

// Appends the facts of `tags` to `bytes` as one text; false, with nothing appended, when a text holds the
// separator. The texts are copied in one pass into room reserved for short ones, a block each without a
// branch on their length; the separators are then counted once over the whole text.
bool AppendFacts(const PhotoTags& tags, RowBytes& bytes) {
  const size_t start = bytes.size();
  char* facts = bytes.Extend(kShortFactsBytes);
  char* out = facts;
  *out++ = tags.has_exif ? '1' : '0';
  *out++ = kFactSeparator;
  out = WriteDecimal(tags.taken, out);
  *out++ = kFactSeparator;
  // Kept inline: a call per text would cost what the block copy saves.
  const auto copy = [&](const std::string& text) __attribute__((always_inline)) {
    if (text.size() > kTextBlock) [[unlikely]] {
      const auto at = static_cast<size_t>(out - facts);
      // The room may move: the facts' place is found anew.
      bytes.Extend(text.size());
      facts = bytes.At(start);
      out = facts + at;
      std::memcpy(out, text.data(), text.size());
    } else if (text.capacity() + 1 >= kTextBlock) [[likely]] {
      std::memcpy(out, text.data(), kTextBlock);
    } else {
      std::memcpy(out, text.data(), text.size());
    }
    out += text.size();
  };
#pragma GCC unroll 32
  // Unrolled: the loop's own count and jump would be a sixth of a short text's copy.
  for (const std::string& text : tags.texts) {
    copy(text);
    *out++ = kFactSeparator;
  }
  static_assert(kLensTexts.size() == 3);
  copy(tags.*kLensTexts[0]);
  *out++ = kFactSeparator;
  copy(tags.*kLensTexts[1]);
  *out++ = kFactSeparator;
  copy(tags.*kLensTexts[2]);
  const auto size = static_cast<size_t>(out - facts);
  bytes.Truncate(start + size);
  constexpr size_t kSeparators = kLeadingFacts + kPhotoTagCount + kLensTexts.size() - 1;
  // One count over the whole text instead of a search in each of its texts.
  if (CountByte(std::string_view(facts, size), kFactSeparator) != kSeparators) {
    bytes.Truncate(start);
    return false;
  }
  return true;
}

// The text before the next separator of `facts`, taken off it; nothing when there is no separator.
std::optional<std::string_view> TakeFact(std::string_view& facts) {
  const size_t end = facts.find(kFactSeparator);
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view fact = facts.substr(0, end);
  facts.remove_prefix(end + 1);
  return fact;
}

// Fills whether the photo has Exif, its capture time and its texts from `facts`; false unless it holds
// exactly the facts AppendFacts writes.
bool SplitFacts(std::string_view facts, PhotoTags& tags) {
  const std::optional<std::string_view> has_exif = TakeFact(facts);
  if (!has_exif || (*has_exif != "0" && *has_exif != "1")) return false;
  tags.has_exif = *has_exif == "1";
  const std::optional<std::string_view> taken = TakeFact(facts);
  if (!taken || taken->empty()) return false;
  const char* end = taken->data() + taken->size();
  if (std::from_chars(taken->data(), end, tags.taken).ptr != end || tags.taken < kNoCaptureTime) return false;
  const auto take = [&facts](std::string& text) {
    const std::optional<std::string_view> fact = TakeFact(facts);
    if (fact) text.assign(*fact);
    return fact.has_value();
  };
  for (std::string& text : tags.texts) {
    if (!take(text)) return false;
  }
  for (size_t i = 0; i + 1 < kLensTexts.size(); ++i) {
    if (!take(tags.*kLensTexts[i])) return false;
  }
  if (facts.find(kFactSeparator) != std::string_view::npos) return false;
  tags.*kLensTexts.back() = facts;
  return true;
}

// A 64-bit checksum: a row whose bytes were altered (a damaged page, a hand edit) no longer matches. It
// takes sixteen bytes a step, multiplying their two words (each mixed with a constant or the checksum so
// far) into 128 bits whose halves are folded together, as wyhash does: half the steps, and fewer
// instructions a step, than a multiply per word. A row's path and facts, some two hundred bytes, are
// checksummed when the row is kept and on every find.
class Checksum {
 public:
  void Add(std::string_view bytes) {
    const char* at = bytes.data();
    size_t left = bytes.size();
    for (; left > 16; at += 16, left -= 16) Add(Load64(at), Load64(at + 8));
    // The last one to sixteen bytes in two words that may overlap, the length telling them apart.
    uint64_t first = 0;
    uint64_t second = 0;
    if (left > 8) {
      first = Load64(at);
      second = Load64(at + left - 8);
    } else if (left >= 4) {
      first = Load32(at);
      second = Load32(at + left - 4);
    } else if (left > 0) {
      first = static_cast<uint64_t>(static_cast<unsigned char>(at[0])) << 16 |
              static_cast<uint64_t>(static_cast<unsigned char>(at[left / 2])) << 8 |
              static_cast<unsigned char>(at[left - 1]);
    }
    Add(first, second ^ (static_cast<uint64_t>(bytes.size()) * kLength));
  }
  void Add(int64_t first, int64_t second) { Add(static_cast<uint64_t>(first), static_cast<uint64_t>(second)); }
  [[nodiscard]] int64_t value() const { return static_cast<int64_t>(hash_); }

 private:
  // GCC's and Clang's 128-bit integer, which x86-64 and AArch64 multiply into in one instruction.
  __extension__ typedef unsigned __int128 Wide;
  static constexpr uint64_t kFirst = 0xa0761d6478bd642fULL;
  static constexpr uint64_t kLength = 0xe7037ed1a0b428dbULL;
  void Add(uint64_t first, uint64_t second) {
    const Wide product = static_cast<Wide>(first ^ kFirst) * (second ^ hash_);
    hash_ = static_cast<uint64_t>(product) ^ static_cast<uint64_t>(product >> 64);
  }
  static uint64_t Load64(const char* bytes) {
    uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }
  static uint64_t Load32(const char* bytes) {
    uint32_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }
  uint64_t hash_ = 0x8ebc6af09c88c6e3ULL;
};

struct RowIdentity {
  int64_t device, inode, size, modified_ns, changed_ns;
};

RowIdentity IdentityColumns(const FileIdentity& file) {
  return {static_cast<int64_t>(file.device), static_cast<int64_t>(file.inode), file.size,
          Nanoseconds(file.modified_s, file.modified_ns), Nanoseconds(file.changed_s, file.changed_ns)};
}

int64_t RowChecksum(std::string_view key, const RowIdentity& id, int64_t rules, std::string_view facts) {
  Checksum sum;
  sum.Add(key);
  sum.Add(id.device, id.inode);
  sum.Add(id.size, id.modified_ns);
  sum.Add(id.changed_ns, rules);
  sum.Add(facts);
  return sum.value();
}

bool IsDamage(int code) { return code == SQLITE_CORRUPT || code == SQLITE_NOTADB; }

std::string Reason(const DatabaseError& error) {
  switch (error.code()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "in use by another survey";
    case SQLITE_FULL:
      return "the disk is full";
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return "cannot be written";
    default:
      return error.what();
  }
}

// The first free name "<stem>.broken-N<extension>" beside `path`.
bool RenameAside(const std::string& path, std::string& aside) {
  const std::filesystem::path original(path);
  for (int n = 1; n < 1000; ++n) {
    const std::filesystem::path candidate =
        original.parent_path() /
        (original.stem().string() + ".broken-" + std::to_string(n) + original.extension().string());
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) == 0) {
      aside = candidate.string();
      // The journal files follow their database, so that the pair still opens as it was.
      for (const char* suffix : {"-wal", "-shm"}) {
        const std::string from = path + suffix;
        const std::string to = aside + suffix;
        static_cast<void>(::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE));
      }
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// Why the file at `path` is not opened: a symbolic link or something other than a file; empty when it may be.
std::string Refusal(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return {};
  if (S_ISLNK(info.st_mode)) return "is a symbolic link";
  if (!S_ISREG(info.st_mode)) return "is not a file";
  return {};
}

// Whether the database at `path` has a journal beside it but bytes of its own that do not begin as every
// SQLite database does. A survey leaves its journal beside the database, and SQLite reads a page from the
// journal rather than from the file: a file replaced while its journal stays would look whole, its own
// bytes never read. Without a journal SQLite reads the file's header itself (and a database being made by
// another survey at this moment, its header not yet written, is left to it).
bool HoldsOtherBytes(const std::string& path) {
  struct stat journal {};
  if (::stat((path + "-wal").c_str(), &journal) != 0 || journal.st_size == 0) return false;
  static constexpr std::string_view kHeader("SQLite format 3\0", 16);
  const int file = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (file < 0) return false;
  std::array<char, kHeader.size()> bytes{};
  const ssize_t read = ::pread(file, bytes.data(), bytes.size(), 0);
  ::close(file);
  return read > 0 && std::string_view(bytes.data(), static_cast<size_t>(read)) != kHeader;
}

// Ends a transaction that failed part-way, so that none of its rows are written.
void RollBack(SqliteDatabase& db) {
  if (sqlite3_get_autocommit(db.handle()) == 0) sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

// Resets a statement when a step leaves the scope, so that no read stays open between calls.
struct ResetOnExit {
  SqliteStatement& statement;
  ~ResetOnExit() { statement.Reset(); }
};

// The same for a statement whose every parameter is bound before each run.
struct RewindOnExit {
  SqliteStatement& statement;
  ~RewindOnExit() { statement.Rewind(); }
};

// Whether the database `db` stands in needs this schema's tables: it has none yet, or an older schema's.
// Throws for a database of another program or of a newer Lumetra. Read within a transaction.
bool NeedsSchema(SqliteDatabase& db) {
  const int64_t application = db.QueryInteger("PRAGMA application_id");
  const int64_t version = db.QueryInteger("PRAGMA user_version");
  const int64_t tables = db.QueryInteger("SELECT count(*) FROM sqlite_master");
  const bool ours = application == kApplicationId;
  if (!ours && (application != 0 || tables != 0)) {
    throw DatabaseError(SQLITE_NOTADB, "holds the data of another program");
  }
  if (ours && version > kSchemaVersion) throw DatabaseError(SQLITE_MISMATCH, "was written by a newer Lumetra");
  return !ours || version < kSchemaVersion;
}

}  // namespace

uint32_t RulesStampOf(uint32_t version, uint64_t sources_digest) {
  Checksum sum;
  sum.Add(static_cast<int64_t>(version), kSchemaVersion);
  for (const std::string_view name : kTagColumns) sum.Add(name);
  for (const std::string_view name : kLensTextColumns) sum.Add(name);
  sum.Add(static_cast<int64_t>(sources_digest), 0);
  const auto hash = static_cast<uint64_t>(sum.value());
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

uint32_t ReaderRulesStamp() {
  return RulesStampOf(kReaderRulesVersion, static_cast<uint64_t>(LUMETRA_READER_SOURCES_DIGEST));
}

RecordsCache::RecordsCache(std::string path, RecordsCacheOptions options) : path_(std::move(path)), options_(options) {
  Open();
}

RecordsCache::~RecordsCache() { Flush(); }

bool RecordsCache::IsOpen() const {
  const std::lock_guard lock(mutex_);
  return db_ != nullptr;
}

std::string RecordsCache::problem() const {
  const std::lock_guard lock(mutex_);
  return problem_;
}

void RecordsCache::Open() {
  BeginSurvey();
  std::error_code error;
  working_folder_ = std::filesystem::current_path(error).string();
  for (const std::string& file : {path_, path_ + "-wal", path_ + "-shm"}) {
    if (const std::string refusal = Refusal(file); !refusal.empty()) {
      problem_ = "records cache " + file + ": " + refusal + "; photos are read without it";
      return;
    }
  }
  try {
    OpenDatabase();
  } catch (const DatabaseError& first) {
    CloseStatements();
    db_.reset();
    std::string aside;
    if (!IsDamage(first.code()) || !RenameAside(path_, aside)) {
      problem_ = "records cache " + path_ + ": " + Reason(first) + "; photos are read without it";
      return;
    }
    problem_ = "records cache " + path_ + ": " + Reason(first) + "; kept as " + aside + ", a new one is started";
    try {
      OpenDatabase();
    } catch (const DatabaseError& second) {
      CloseStatements();
      db_.reset();
      problem_ = "records cache " + path_ + ": " + Reason(second) + "; photos are read without it";
    }
  }
}

void RecordsCache::OpenDatabase() {
  // A new database is written whole from the bytes made when the program was built, and SQLite opens it as
  // an existing one: it parses the schema once instead of making it statement by statement. Where the bytes
  // cannot be put in place, SQLite makes the file as for an older schema's below.
  const bool written = WriteNewRecordsDatabase(path_, options_.new_database) == NewDatabase::kWritten;
  if (HoldsOtherBytes(path_)) throw DatabaseError(SQLITE_NOTADB, "file is not a database");
  db_ = std::make_unique<SqliteDatabase>(path_, options_.busy_wait);
  if (db_->IsReadOnly()) throw DatabaseError(SQLITE_READONLY, "cannot be written");
  // One read transaction (its locks and look for a journal) for the marks and the tables rather than one each.
  db_->Execute("BEGIN");
  bool create = false;
  try {
    create = NeedsSchema(*db_);
  } catch (const DatabaseError&) {
    RollBack(*db_);
    throw;
  }
  db_->Execute("COMMIT");
  // A database made here is made without waiting for the disk: one cut short by a power loss is found
  // damaged and set aside next time. Afterwards a crash or power loss may lose the last batches, never a
  // whole row. Its page size is set before the journal is, the only time a page size takes.
  db_->Execute(create ? records_schema::NewDatabasePragmasSql() + "; PRAGMA synchronous=OFF"
                      : std::string("PRAGMA journal_mode=WAL"));
  if (options_.max_pages > 0) db_->Execute("PRAGMA max_page_count=" + std::to_string(options_.max_pages));
  if (create) CreateSchema();
  // Under WAL, NORMAL syncs at checkpoints only: a power loss may lose the last transactions, never make a
  // row half written. A survey reads each page once, in folder scans, and a batch of rows dirties less than
  // half a MiB: a smaller page cache than SQLite's 2 MiB keeps a re-survey's memory near a fresh survey's.
  // The journal is left as it is when the survey closes the database: folding it in there would write every
  // page a second time and wait for the disk three times, a fifth of what remembering a first survey costs.
  // The journal is a valid state of the database (sqlite3 reads it; a crash or power loss keeps only whole
  // transactions of it); it is folded in by the write that takes it past 4 MiB (512 pages), and cut back to
  // 4 MiB then.
  // The first write of a database written here starts its journal without waiting for the disk, as the
  // transaction that makes a database with SQL does: NORMAL syncs the journal's header as it starts it.
  first_write_unsynced_ = written;
  db_->Execute(
      std::string("PRAGMA synchronous=") + (written ? "OFF" : "NORMAL") +
      "; PRAGMA cache_size=-512; PRAGMA wal_autocheckpoint=" + std::to_string(kJournalLimitBytes / kPageBytes) +
      "; PRAGMA journal_size_limit=" + std::to_string(kJournalLimitBytes));
  CheckSqlite(db_->handle(), sqlite3_db_config(db_->handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr));
  const std::string columns = kRowColumns;
  try {
    find_folder_ = std::make_unique<SqliteStatement>(db_->handle(), "SELECT id FROM folders WHERE path = ?");
    find_ = std::make_unique<SqliteStatement>(db_->handle(), "SELECT name, " + columns + " FROM photos WHERE id = ?");
    scan_ = std::make_unique<SqliteStatement>(
        db_->handle(), "SELECT id, name, " + columns + " FROM photos WHERE id BETWEEN ? AND ? ORDER BY id");
  } catch (const DatabaseError& error) {
    // Lumetra's mark on tables that are not Lumetra's: altered by another tool.
    if (error.code() == SQLITE_ERROR) throw DatabaseError(SQLITE_CORRUPT, "has tables of another layout");
    throw;
  }
}

void RecordsCache::CreateSchema() {
  if (options_.before_create) options_.before_create();
  db_->Execute("BEGIN IMMEDIATE");
  try {
    // Another survey may have made the tables since the marks were read, and written rows to them: its
    // tables are kept. Only a database still without them, or with an older schema's, gets new ones.
    if (NeedsSchema(*db_)) db_->Execute(records_schema::CreateSchemaSql());
    db_->Execute("COMMIT");
  } catch (const DatabaseError&) {
    RollBack(*db_);
    throw;
  }
}

void RecordsCache::PrepareWrites() {
  // Prepared with the first row to write: a survey served whole never needs them.
  if (write_group_) return;
  add_folder_ = std::make_unique<SqliteStatement>(db_->handle(), "INSERT INTO folders (path) VALUES (?)");
  scan_names_ = std::make_unique<SqliteStatement>(db_->handle(),
                                                  "SELECT id, name FROM photos WHERE id BETWEEN ? AND ? ORDER BY id");
  data_version_ = std::make_unique<SqliteStatement>(db_->handle(), "PRAGMA data_version");
  last_row_ = std::make_unique<SqliteStatement>(db_->handle(), "SELECT max(id) FROM photos");
  // A row under the number of an older one replaces it: a changed photo keeps its row number.
  const std::string insert = "INSERT OR REPLACE INTO photos (id, name, " + std::string(kRowColumns) + ") VALUES ";
  const std::string values = "(?, ?, ?)";
  write_ = std::make_unique<SqliteStatement>(db_->handle(), insert + values);
  std::string group = insert + values;
  for (size_t i = 1; i < kRowsPerInsert; ++i) group.append(", ").append(values);
  write_group_ = std::make_unique<SqliteStatement>(db_->handle(), group);
  group_ids_null_.fill(false);
  write_id_null_ = false;
}

void RecordsCache::CloseStatements() {
  find_folder_.reset();
  find_.reset();
  scan_.reset();
  add_folder_.reset();
  scan_names_.reset();
  data_version_.reset();
  last_row_.reset();
  write_.reset();
  write_group_.reset();
  held_.clear();
  writing_.clear();
}

void RecordsCache::Fail(const std::string& action, const std::exception& error) {
  const auto* database_error = dynamic_cast<const DatabaseError*>(&error);
  const bool damaged = database_error != nullptr && IsDamage(database_error->code());
  const std::string reason = database_error != nullptr ? Reason(*database_error) : error.what();
  CloseStatements();
  db_.reset();
  pending_.Clear();
  std::string aside;
  std::string line = "records cache " + path_ + ": cannot " + action + ": " + reason;
  if (damaged && RenameAside(path_, aside)) {
    line += "; kept as " + aside + ", a new one is started next time";
  } else {
    line += "; the rest of this survey reads every photo";
  }
  if (problem_.empty()) problem_ = line;
}

std::string RecordsCache::Key(const std::string& path) const {
  if (path.starts_with('/') || working_folder_.empty()) return path;
  return working_folder_ + (working_folder_.ends_with('/') ? "" : "/") + path;
}

void RecordsCache::BeginSurvey(const std::string& folder) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::lock_guard lock(mutex_);
  survey_start_ns_ = Nanoseconds(now.tv_sec, now.tv_nsec);
  seen_.clear();
  held_.clear();
  writing_.clear();
  may_serve_ = true;
  if (folder.empty() || !db_) return;
  const auto [prefix, end] = FolderRange(folder);
  try {
    SqliteStatement any(db_->handle(), "SELECT 1 FROM folders WHERE path >= ? AND path < ? LIMIT 1");
    any.Bind(1, prefix);
    any.Bind(2, end);
    may_serve_ = any.Step();
  } catch (const DatabaseError& error) {
    Fail("read", error);
  }
}

bool RecordsCache::MayServe() const {
  const std::lock_guard lock(mutex_);
  return db_ != nullptr && may_serve_;
}

std::pair<std::string, std::string> RecordsCache::FolderRange(const std::string& folder) const {
  std::string prefix = Key(folder);
  if (!prefix.ends_with('/')) prefix += '/';
  // The folder and every folder under it sort from "<folder>/" up to, not including, "<folder>0".
  std::string end = prefix;
  end.back() = static_cast<char>('/' + 1);
  return {prefix, end};
}

namespace {

uint64_t LoadLittleEndian(const char* bytes) {
  uint64_t value = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&value, bytes, sizeof value);
  } else {
    for (int i = 7; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return value;
}

void StoreLittleEndian(const std::array<int64_t, kFileFields>& fields, char* bytes) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(bytes, fields.data(), kFileBytes);
  } else {
    for (const int64_t field : fields) {
      auto value = static_cast<uint64_t>(field);
      for (int i = 0; i < 8; ++i, value >>= 8) *bytes++ = static_cast<char>(value & 0xFF);
    }
  }
}

// The data of the row the statement stands on, in column `column`: the identity and stamp as integers, the
// facts and the checksum; nothing when the column is not a blob or is too short (a row altered by hand).
template <typename Row>
std::optional<Row> RowAt(const SqliteStatement& row, int column) {
  if (!row.IsBlob(column)) return std::nullopt;
  const std::string_view data = row.TextView(column);
  if (data.size() < kFileBytes) return std::nullopt;
  Row stored;
  for (size_t field = 0; field + 1 < kFileFields; ++field) {
    stored.integers[field] = static_cast<int64_t>(LoadLittleEndian(data.data() + 8 * field));
  }
  stored.facts = data.substr(kFileBytes);
  stored.checksum = static_cast<int64_t>(LoadLittleEndian(data.data() + 8 * (kFileFields - 1)));
  return stored;
}

// The folder part of a path (up to and including its last '/'; empty for a bare name) and its name.
std::pair<std::string_view, std::string_view> SplitPath(std::string_view key) {
  const size_t slash = key.rfind('/');
  if (slash == std::string_view::npos) return {{}, key};
  return {key.substr(0, slash + 1), key.substr(slash + 1)};
}

}  // namespace

std::optional<PhotoTags> RecordsCache::Find(const std::string& path, const FileIdentity& file) {
  if (!file.found) return std::nullopt;
  // A relative path is made absolute; an absolute one is used as it is, not copied.
  std::string absolute;
  std::string_view key = path;
  if (!path.starts_with('/') && !working_folder_.empty()) key = absolute = Key(path);
  const auto [folder_text, name] = SplitPath(key);
  std::optional<StoredRow> row;
  {
    const std::lock_guard lock(mutex_);
    if (!find_) return std::nullopt;
    try {
      FolderRows& folder = RowsOf(folder_text);
      if (!folder.whole) {
        row = LookUp(folder, name);
      } else if (const auto found = folder.rows.find(name); found != folder.rows.end()) {
        // Copied, not taken: a photo may be asked for twice, when the walk reads one itself that a reading
        // thread was too slow on, and it must not be opened then either.
        row = found->second;
      }
    } catch (const DatabaseError& error) {
      Fail("read", error);
      return std::nullopt;
    }
  }
  if (!row) return std::nullopt;
  // The same file, read by the same rules, and a row whose bytes are as written (its folder's path too).
  const RowIdentity id = IdentityColumns(file);
  const std::array<int64_t, detail::kRowIntegerColumns> expected = {
      id.device, id.inode, id.size, id.modified_ns, id.changed_ns, options_.rules_stamp};
  if (expected != row->integers) return std::nullopt;
  if (row->checksum != RowChecksum(key, id, options_.rules_stamp, row->facts)) return std::nullopt;
  PhotoTags tags;
  if (!SplitFacts(row->facts, tags)) return std::nullopt;
  tags.file = file;
  return tags;
}

int64_t RecordsCache::FolderNumber(std::string_view folder) {
  const ResetOnExit reset{*find_folder_};
  find_folder_->Bind(1, folder);
  if (!find_folder_->Step()) return 0;
  const int64_t number = find_folder_->Integer(0);
  // A number whose rows do not fit the row numbers is a hand edit: the folder could never be written again.
  if (number <= 0 || number > kMaxFolderNumber) throw DatabaseError(SQLITE_CORRUPT, "has a folder number out of range");
  return number;
}

RecordsCache::FolderRows& RecordsCache::RowsOf(std::string_view folder) {
  for (FolderRows& held : held_) {
    if (held.folder == folder) return held;
  }
  if (held_.size() >= kHeldFolders) held_.pop_front();
  FolderRows& rows = held_.emplace_back();
  rows.folder = folder;
  if (const int64_t number = FolderNumber(folder); number != 0) ScanFolder(rows, number);
  return rows;
}

void RecordsCache::ScanFolder(FolderRows& folder, int64_t folder_number) {
  const int64_t first = folder_number << kSequenceBits;
  const ResetOnExit reset{*scan_};
  scan_->Bind(1, first);
  scan_->Bind(2, first | kSequenceMask);
  while (scan_->Step()) {
    if (!scan_->IsText(1)) continue;
    std::optional<StoredRow> row = RowAt<StoredRow>(*scan_, 2);
    if (!row) continue;
    if (folder.rows.size() >= kMaxFolderRows) {
      folder.whole = false;
      break;
    }
    folder.rows.emplace(std::string(scan_->TextView(1)), std::move(*row));
  }
  if (folder.whole) return;
  // Too many rows to hold: only each name's hash and row number, the rows read one by one when asked for.
  folder.rows.clear();
  scan_->Reset();
  scan_->Bind(1, first);
  scan_->Bind(2, first | kSequenceMask);
  while (scan_->Step()) {
    if (scan_->IsText(1)) folder.index.emplace_back(NameHash(scan_->TextView(1)), scan_->Integer(0));
  }
  std::sort(folder.index.begin(), folder.index.end());
}

std::optional<RecordsCache::StoredRow> RecordsCache::LookUp(const FolderRows& folder, std::string_view name) {
  const uint64_t hash = NameHash(name);
  auto at = std::lower_bound(folder.index.begin(), folder.index.end(), std::pair<uint64_t, int64_t>{hash, INT64_MIN});
  for (; at != folder.index.end() && at->first == hash; ++at) {
    const ResetOnExit reset{*find_};
    find_->Bind(1, at->second);
    if (!find_->Step() || !find_->IsText(0) || find_->TextView(0) != name) continue;
    return RowAt<StoredRow>(*find_, 1);
  }
  return std::nullopt;
}

void RecordsCache::Seen(const std::string& path) {
  // A string's hash is its bytes' as a view: an absolute path is hashed where it stands.
  const size_t hash = path.starts_with('/') || working_folder_.empty() ? std::hash<std::string_view>{}(path)
                                                                       : std::hash<std::string>{}(Key(path));
  const std::lock_guard lock(mutex_);
  seen_.insert(hash);
}

void RecordsCache::Remember(const std::string& path, const PhotoTags& tags) {
  if (!tags.file.found || !tags.unread_reason.empty()) return;
  const int64_t settle_ns = std::chrono::nanoseconds(options_.settle_time).count();
  const std::lock_guard lock(mutex_);
  if (!db_) return;
  if (Nanoseconds(tags.file.changed_s, tags.file.changed_ns) >= survey_start_ns_ - settle_ns) return;
  RowBytes& bytes = pending_.bytes;
  if (pending_.rows.empty()) {
    // A batch's rows are a few hundred bytes each: its storage grows once, not row by row.
    bytes.Reserve(kBatchRows * kRowBytesExpected);
    pending_.rows.reserve(kBatchRows);
  }
  // A relative path is made absolute; an absolute one is copied from where it stands.
  std::string absolute;
  std::string_view key = path;
  if (!path.starts_with('/') && !working_folder_.empty()) key = absolute = Key(path);
  const size_t key_at = bytes.size();
  // The path, then room for the identity, stamp and checksum, which are written once the facts after them are.
  char* const row = bytes.Extend(key.size() + kFileBytes);
  std::memcpy(row, key.data(), key.size());
  // The library's search from the end, which reads a vector at a time; the string's goes byte by byte.
  const auto* slash = static_cast<const char*>(::memrchr(row, '/', key.size()));
  const size_t name_at = slash == nullptr ? 0 : static_cast<size_t>(slash - row) + 1;
  // A batch's bytes stay far below 4 GiB: a row is a path and a few hundred bytes of facts.
  if (!AppendFacts(tags, bytes) || bytes.size() > UINT32_MAX) {
    bytes.Truncate(key_at);
    return;
  }
  const size_t data_at = key_at + key.size();
  const std::string_view facts = bytes.View(data_at + kFileBytes, bytes.size() - data_at - kFileBytes);
  const RowIdentity id = IdentityColumns(tags.file);
  const auto rules = static_cast<int64_t>(options_.rules_stamp);
  const std::array<int64_t, kFileFields> fields = {
      id.device, id.inode, id.size, id.modified_ns, id.changed_ns, rules, RowChecksum(key, id, rules, facts)};
  // Extending the bytes may have moved them: the row's place is found anew.
  StoreLittleEndian(fields, bytes.At(data_at));
  pending_.rows.push_back(PendingRow{.key_at = static_cast<uint32_t>(key_at),
                                     .key_size = static_cast<uint32_t>(key.size()),
                                     .name_at = static_cast<uint32_t>(name_at),
                                     .data_size = static_cast<uint32_t>(bytes.size() - data_at)});
  if (pending_.rows.size() >= kBatchRows) WriteRows();
}

void RecordsCache::Flush() {
  const std::lock_guard lock(mutex_);
  WriteRows();
}

void RecordsCache::BindRow(SqliteStatement& statement, int first, size_t row_index, bool& id_null) {
  const PendingRow& row = pending_.rows[row_index];
  if (!pending_.appended[row_index]) {
    statement.Bind(first, pending_.ids[row_index]);
    id_null = false;
  } else if (!id_null) {
    // A statement keeps its values from run to run: a NULL bound before needs no binding again.
    statement.BindNull(first);
    id_null = true;
  }
  statement.Bind(first + 1, pending_.Name(row));
  const std::string_view data = pending_.Data(row);
  statement.BindBlob(first + 2, data.data(), data.size());
}

RecordsCache::WritingFolder& RecordsCache::WritingFolderOf(std::string_view folder) {
  // The latest first: a batch's rows are mostly of one folder.
  for (auto writing = writing_.rbegin(); writing != writing_.rend(); ++writing) {
    if (writing->folder == folder) return *writing;
  }
  int64_t number = FolderNumber(folder);
  const bool made = number == 0;
  if (made) {
    const ResetOnExit reset{*add_folder_};
    add_folder_->Bind(1, folder);
    static_cast<void>(add_folder_->Step());
    number = sqlite3_last_insert_rowid(db_->handle());
    // Folder numbers grow by one from the largest: only a hand edit reaches past the row numbers' room.
    if (number <= 0 || number > kMaxFolderNumber) throw DatabaseError(SQLITE_CORRUPT, "has a folder number too large");
  }
  // Every folder of the batch is kept until it is written: the numbers given to its rows are not yet in
  // the table.
  WritingFolder& writing = writing_.emplace_back();
  writing.folder = folder;
  writing.first = number << kSequenceBits;
  writing.last = writing.first | kSequenceMask;
  writing.next = writing.first;
  if (made) return writing;
  writing.known = true;
  const ResetOnExit reset{*scan_names_};
  scan_names_->Bind(1, writing.first);
  scan_names_->Bind(2, writing.last);
  while (scan_names_->Step()) {
    const int64_t id = scan_names_->Integer(0);
    writing.next = id + 1;
    if (scan_names_->IsText(1)) writing.ids.emplace(NameHash(scan_names_->TextView(1)), id);
  }
  return writing;
}

int64_t RecordsCache::FreeNumber(WritingFolder& folder) const {
  if (folder.next <= folder.last) return folder.next++;
  // The last number is taken: the lowest one left free by a dropped row, if any.
  std::vector<int64_t> used;
  used.reserve(folder.ids.size());
  for (const auto& [hash, id] : folder.ids) used.push_back(id);
  std::sort(used.begin(), used.end());
  int64_t free = folder.first;
  for (const int64_t id : used) {
    if (id > free) break;
    if (id == free) ++free;
  }
  return free <= folder.last ? free : -1;
}

int64_t RecordsCache::RowNumber(std::string_view folder_text, std::string_view name) {
  WritingFolder& folder = WritingFolderOf(folder_text);
  // A folder made by this batch has only the rows numbered since, each of a path not yet remembered: a
  // survey remembers each path once.
  if (!folder.known) return folder.next <= folder.last ? folder.next++ : -1;
  const uint64_t hash = NameHash(name);
  if (const auto known = folder.ids.find(hash); known != folder.ids.end()) return known->second;
  const int64_t id = FreeNumber(folder);
  if (id >= 0) folder.ids.emplace(hash, id);
  return id;
}

void RecordsCache::NumberRows() {
  // Another connection's writes (a survey of another Lumetra) may have added or dropped rows and folders.
  {
    const ResetOnExit reset{*data_version_};
    static_cast<void>(data_version_->Step());
    const int64_t version = data_version_->Integer(0);
    if (version != data_version_seen_) writing_.clear();
    data_version_seen_ = version;
  }
  pending_.ids.clear();
  for (const PendingRow& row : pending_.rows)
    pending_.ids.push_back(RowNumber(pending_.Folder(row), pending_.Name(row)));
  // Rows without a free number are not written; the others keep their order.
  size_t kept = 0;
  for (size_t row = 0; row < pending_.rows.size(); ++row) {
    if (pending_.ids[row] < 0) continue;
    if (kept != row) {
      pending_.rows[kept] = pending_.rows[row];
      pending_.ids[kept] = pending_.ids[row];
    }
    ++kept;
  }
  pending_.rows.resize(kept);
  pending_.ids.resize(kept);
  // A row numbered one past the table's last is written without its number: SQLite gives it that very
  // number (the largest plus one) from the table's end, where a given number costs a look-up in the tree.
  int64_t last = 0;
  {
    const ResetOnExit reset{*last_row_};
    if (last_row_->Step() && last_row_->IsInteger(0)) last = last_row_->Integer(0);
  }
  pending_.appended.assign(kept, false);
  for (size_t row = 0; row < kept; ++row) {
    const int64_t id = pending_.ids[row];
    pending_.appended[row] = last > 0 && last < INT64_MAX && id == last + 1;
    last = std::max(last, id);
  }
}

void RecordsCache::WriteRows() {
  if (pending_.rows.empty() || !db_) return;
  try {
    PrepareWrites();
    db_->Execute("BEGIN IMMEDIATE");
    try {
      NumberRows();
      // Rows go in groups of kRowsPerInsert, one statement each, the rest one by one: each statement run
      // costs SQLite as much again as the row it writes.
      const size_t rows = pending_.rows.size();
      size_t row = 0;
      for (; row + kRowsPerInsert <= rows; row += kRowsPerInsert) {
        const RewindOnExit rewind{*write_group_};
        for (size_t i = 0; i < kRowsPerInsert; ++i) {
          BindRow(*write_group_, static_cast<int>(i * kColumnsPerRow) + 1, row + i, group_ids_null_[i]);
        }
        static_cast<void>(write_group_->Step());
      }
      for (; row < rows; ++row) {
        const RewindOnExit rewind{*write_};
        BindRow(*write_, 1, row, write_id_null_);
        static_cast<void>(write_->Step());
      }
      db_->Execute("COMMIT");
      AfterWrite();
    } catch (const DatabaseError&) {
      // The rows of a failed batch are never half written; the numbers found for them are forgotten.
      RollBack(*db_);
      writing_.clear();
      throw;
    }
    // The batch's storage is kept for the next rows, and the folders written last for the next batch.
    pending_.Clear();
    while (writing_.size() > kHeldFolders) writing_.pop_front();
  } catch (const DatabaseError& error) {
    Fail("write", error);
  }
}

void RecordsCache::DropGone(const std::string& folder, bool subfolders) {
  Flush();
  const std::lock_guard lock(mutex_);
  if (!db_) return;
  try {
    const GoneRows gone = CollectGone(folder, subfolders);
    if (gone.rows.empty() && gone.folders.empty()) return;
    DeleteGone(gone);
    // A folder written to later in this survey's life gets its number anew.
    writing_.clear();
    held_.clear();
  } catch (const DatabaseError& error) {
    Fail("write", error);
  }
}

RecordsCache::GoneRows RecordsCache::CollectGone(const std::string& folder, bool subfolders) {
  const auto [prefix, end] = FolderRange(folder);
  // A survey without sub-folders only looks at the folder's own rows.
  SqliteStatement folders(db_->handle(), "SELECT id, path FROM folders WHERE path >= ? AND path < ?");
  const std::string own_end = prefix + '\x01';
  folders.Bind(1, prefix);
  folders.Bind(2, subfolders ? end : own_end);
  std::vector<std::pair<int64_t, std::string>> listed;
  while (folders.Step()) {
    if (folders.IsInteger(0)) listed.emplace_back(folders.Integer(0), folders.Text(1));
  }
  SqliteStatement names(db_->handle(), "SELECT id, name FROM photos WHERE id BETWEEN ? AND ?");
  GoneRows gone;
  std::string key;
  for (const auto& [number, path] : listed) {
    if (number <= 0 || number > kMaxFolderNumber) continue;
    const ResetOnExit reset{names};
    names.Bind(1, number << kSequenceBits);
    names.Bind(2, (number << kSequenceBits) | kSequenceMask);
    size_t rows = 0;
    size_t gone_rows = 0;
    while (names.Step()) {
      ++rows;
      key.assign(path).append(names.TextView(1));
      if (seen_.contains(std::hash<std::string>{}(key))) continue;
      struct stat info {};
      // Only a file that is really gone loses its row; one behind a folder that cannot be read now keeps it.
      if (::stat(key.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        gone.rows.push_back(names.Integer(0));
        ++gone_rows;
      }
    }
    // A folder left without rows (renamed, moved, emptied) loses its row too.
    if (gone_rows == rows) gone.folders.push_back(number);
  }
  return gone;
}

void RecordsCache::DeleteGone(const GoneRows& gone) {
  SqliteStatement drop(db_->handle(), "DELETE FROM photos WHERE id = ?");
  SqliteStatement drop_folder(db_->handle(), "DELETE FROM folders WHERE id = ?");
  db_->Execute("BEGIN IMMEDIATE");
  try {
    for (const auto& [statement, ids] : {std::pair{&drop, &gone.rows}, std::pair{&drop_folder, &gone.folders}}) {
      for (const int64_t id : *ids) {
        const ResetOnExit reset{*statement};
        statement->Bind(1, id);
        static_cast<void>(statement->Step());
      }
    }
    db_->Execute("COMMIT");
    AfterWrite();
  } catch (const DatabaseError&) {
    RollBack(*db_);
    throw;
  }
}

void RecordsCache::AfterWrite() {
  if (!first_write_unsynced_) return;
  first_write_unsynced_ = false;
  db_->Execute("PRAGMA synchronous=NORMAL");
}

}  // namespace lumetra
