#include "app/platform/WindowsFonts.h"

#include <QFont>
#include <QStringList>

namespace lumetra {

void SubstituteWindowsFonts() {
  const QStringList fallbacks = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
  for (const char* family : {"MS Sans Serif", "Tahoma", "Arial"}) {
    QFont::insertSubstitutions(QString::fromLatin1(family), fallbacks);
  }
}

}  // namespace lumetra
