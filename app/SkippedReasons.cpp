#include "app/SkippedReasons.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <unordered_map>

namespace lumetra {
namespace {

// The system's error texts a walk or an open can meet, by error number: the English text is the system's
// own, so it matches whatever the C library calls the error.
struct SystemErrorText {
  int error;
  std::string_view russian;
};

constexpr SystemErrorText kSystemErrors[] = {
    {EACCES, "Доступ запрещён"},
    {EPERM, "Операция не разрешена"},
    {ENOENT, "Нет такого файла или папки"},
    {ENOTDIR, "Не папка"},
    {EISDIR, "Это папка"},
    {ELOOP, "Слишком много уровней символических ссылок"},
    {ENAMETOOLONG, "Слишком длинное имя"},
    {EIO, "Ошибка ввода-вывода"},
    {EMFILE, "Слишком много открытых файлов"},
    {ENFILE, "Слишком много открытых файлов в системе"},
    {ENOMEM, "Недостаточно памяти"},
    {ENXIO, "Нет такого устройства или адреса"},
    {ENODEV, "Нет такого устройства"},
    {EOVERFLOW, "Значение слишком велико"},
    {ESTALE, "Устаревший дескриптор файла"},
    {ENOTCONN, "Нет соединения"},
    {ETIMEDOUT, "Время ожидания истекло"},
    {EHOSTDOWN, "Узел недоступен"},
    {EINTR, "Прервано"},
    {EAGAIN, "Ресурс временно недоступен"},
};

// The survey's own reasons.
constexpr TextPair kOwnReasons[] = {
    {"виртуальная файловая система", "a virtual file system"},
    {"не обычный файл", "not a regular file"},
    {"не открывается", "cannot be opened"},
    {"ошибка ввода-вывода", "input/output error"},
};

const std::unordered_map<std::string, std::string>& RussianReasons() {
  static const std::unordered_map<std::string, std::string> reasons = [] {
    std::unordered_map<std::string, std::string> map;
    for (const TextPair& reason : kOwnReasons) map.emplace(reason.english, reason.russian);
    for (const SystemErrorText& text : kSystemErrors) {
      map.emplace(std::generic_category().message(text.error), text.russian);
    }
    return map;
  }();
  return reasons;
}

}  // namespace

std::string SkippedReasonIn(std::string_view reason, Language language) {
  if (language != kRussian) return std::string(reason);
  const auto& reasons = RussianReasons();
  const auto found = reasons.find(std::string(reason));
  return found != reasons.end() ? found->second : std::string(reason);
}

}  // namespace lumetra
