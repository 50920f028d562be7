#include "cameraprofile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Object keys as the text writes them, by the path of member names that leads to the object
// (joined with a unit separator, "" for the root). QJsonObject sorts its keys, so the order
// is read from the text itself, down to the depth where a profile keeps entries; deeper
// values and arrays are skipped whole.
class KeyOrder
{
public:
    static QHash<QString, QStringList> of(const QByteArray& text)
    {
        KeyOrder scanner(text);
        scanner.value(QString(), 0);
        return scanner.m_keys;
    }

    static QString join(const QString& path, const QString& key)
    {
        return path.isEmpty() ? key : path + QChar(0x1f) + key;
    }

private:
    static constexpr int kDeepest = 2; // dropdown -> setting type -> options

    explicit KeyOrder(const QByteArray& text) : m_text(text) {}

    bool atEnd() const { return m_at >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text.at(m_at); }

    void skipSpace()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_at;
    }

    // At a quote: past the string's end quote; false when it has none.
    bool skipString()
    {
        for (++m_at; !atEnd(); ++m_at) {
            if (peek() == '\\')
                ++m_at;
            else if (peek() == '"') {
                ++m_at;
                return true;
            }
        }
        return false;
    }

    bool skipValue()
    {
        skipSpace();
        if (peek() == '"')
            return skipString();
        int depth = 0;
        while (!atEnd()) {
            const char c = peek();
            if (c == '"') {
                if (!skipString())
                    return false;
                continue;
            }
            if (c == '{' || c == '[') {
                ++depth;
            } else if (c == '}' || c == ']') {
                if (depth == 0)
                    return true; // a scalar's end, at its container's close
                if (--depth == 0) {
                    ++m_at;
                    return true;
                }
            } else if (depth == 0 && (c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
                return true;
            }
            ++m_at;
        }
        return depth == 0;
    }

    bool value(const QString& path, int depth)
    {
        skipSpace();
        if (peek() != '{' || depth > kDeepest)
            return skipValue();
        ++m_at;
        // Stored once the object is read: the members below add objects of their own.
        QStringList keys;
        const bool read = members(path, depth, &keys);
        m_keys.insert(path, keys);
        return read;
    }

    bool members(const QString& path, int depth, QStringList* keys)
    {
        skipSpace();
        if (peek() == '}') {
            ++m_at;
            return true;
        }
        while (!atEnd()) {
            skipSpace();
            const qsizetype start = m_at;
            if (peek() != '"' || !skipString())
                return false;
            // The document parser decodes the key's escapes as it does for the object.
            const QString key = QJsonDocument::fromJson('[' + m_text.mid(start, m_at - start) + ']')
                                    .array().at(0).toString();
            if (!keys->contains(key))
                keys->append(key);
            skipSpace();
            if (peek() != ':')
                return false;
            ++m_at;
            if (!value(join(path, key), depth + 1))
                return false;
            skipSpace();
            if (peek() == ',') {
                ++m_at;
                continue;
            }
            if (peek() == '}') {
                ++m_at;
                return true;
            }
            return false;
        }
        return false;
    }

    const QByteArray& m_text;
    qsizetype m_at = 0;
    QHash<QString, QStringList> m_keys;
};

// The entries of member, in the order given (keys missing from it last, in label order).
QList<CameraProfile::Entry> entriesOf(const QJsonValue& member, const QStringList& order)
{
    QList<CameraProfile::Entry> entries;
    const QJsonObject object = member.toObject(); // not an object: empty
    QStringList keys;
    for (const QString& key : order) {
        if (object.contains(key))
            keys.append(key);
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!keys.contains(it.key()))
            keys.append(it.key());
    }
    for (const QString& key : std::as_const(keys))
        entries.append({key, object.value(key).toString()}); // not a string: empty command
    return entries;
}

CameraProfile build(const QJsonObject& root, const QHash<QString, QStringList>& order)
{
    CameraProfile profile;
    const auto member = [&](const QString& name) { return entriesOf(root.value(name), order.value(name)); };
    profile.modes = member(QStringLiteral("Mode"));
    profile.bitRates = member(QStringLiteral("Live Stream BitRate"));
    profile.windowSizes = member(QStringLiteral("Live Stream Window Size"));

    const QString dropdownName = QStringLiteral("dropdown");
    const QJsonValue dropdown = root.value(dropdownName);
    for (const CameraProfile::Entry& type : entriesOf(dropdown, order.value(dropdownName))) {
        const QList<CameraProfile::Entry> options =
            entriesOf(dropdown.toObject().value(type.label), order.value(KeyOrder::join(dropdownName, type.label)));
        if (options.isEmpty())
            continue;
        profile.settingTypes.append(type.label);
        profile.settings.insert(type.label, options);
    }
    return profile;
}

} // namespace

CameraProfile CameraProfile::fromJson(const QJsonObject& root)
{
    return build(root, {});
}

CameraProfile CameraProfile::fromJson(const QByteArray& text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text);
    return build(document.object(), document.isObject() ? KeyOrder::of(text) : QHash<QString, QStringList>());
}

QString CameraProfile::settingCommand(const QString& type, const QString& label) const
{
    for (const Entry& option : settings.value(type)) {
        if (option.label == label)
            return option.command;
    }
    return QString();
}

bool CameraProfile::load(const QString& filePath, CameraProfile* profile)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.readAll();
    if (!QJsonDocument::fromJson(text).isObject())
        return false;
    *profile = fromJson(text);
    return true;
}

int CameraProfile::modelNumber(const QString& modelName)
{
    bool ok = false;
    const int number = modelName.mid(4).toInt(&ok, 10);
    return ok ? number : 0;
}

QString CameraProfile::modelNameFromFileName(const QString& fileName)
{
    const int underscore = fileName.indexOf(QLatin1Char('_'));
    return underscore < 0 ? fileName : fileName.left(underscore);
}

QStringList CameraProfile::installedModels(const QDir& dir)
{
    QStringList models;
    const QStringList files = dir.entryList({QStringLiteral("*.json")},
                                            QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : files) {
        if (name.startsWith(QLatin1String("hero")))
            models.append(modelNameFromFileName(name));
    }
    return models;
}

QString CameraProfile::fileNameFor(const QString& modelName)
{
    return modelName + QLatin1String("_cmds.json");
}
