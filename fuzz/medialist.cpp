#include "medialist.h"

#include <cstdlib>

// A gpMediaList body, read whole and as its newest few: each index must point at its own
// entry, and the newest few must be files of the whole list.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Skipped folders are logged; millions of log lines would be the run's whole cost.
    [[maybe_unused]] static const auto quiet =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const auto doc = QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size)));
    const MediaList whole = MediaList::parse(doc);
    const MediaList head = MediaList::newest(doc, 4);
    if (head.status() != whole.status() || head.count() > 4 || head.total() < head.count())
        abort();
    for (int i = 0; i < whole.count(); ++i) {
        if (whole.indexOf(whole.newestFirst().at(i).path) != i)
            abort();
    }
    for (int i = 0; i < head.count(); ++i) {
        const QString& path = head.newestFirst().at(i).path;
        if (head.indexOf(path) != i || !whole.contains(path))
            abort();
    }
    return 0;
}
