/*
 * readings.cpp: kana readings from MeCab.
 */
#include "reading/readings.h"

#include <QByteArray>
#include <QLibrary>
#include <QStringList>

#include <mecab.h>

#include <cstdio>
#include <type_traits>
#include <utility>

namespace reading {

namespace {

// The reading is the eighth of the IPA dictionary's features.
constexpr int kReadingFeature = 7;

// Katakana as hiragana; the long vowel mark and the rest as they are.
QString hiragana(QString text)
{
    for (QChar &c : text) {
        if (c >= QChar(0x30A1) && c <= QChar(0x30F6))
            c = QChar(c.unicode() - 0x60);
    }
    return text;
}

// The reading of a word with kanji, from its features; "" if it has none
// (a word the dictionary does not know).
QString readingOf(const char *feature)
{
    const QStringList fields = QString::fromUtf8(feature).split(QLatin1Char(','));
    if (fields.size() <= kReadingFeature || fields[kReadingFeature] == QLatin1String("*"))
        return QString();
    return hiragana(fields[kReadingFeature]);
}

} // namespace

bool wanted()
{
    return qEnvironmentVariable("POKOTAMA_READINGS") != QLatin1String("off");
}

bool hasKanji(const QString &text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Han)
            return true;
    }
    return false;
}

// MeCab's library, opened when the first text is read, never before: a
// game played without a screen reader neither loads nor links it, which
// every start-up paid before.
struct Analyser::Tagger
{
    decltype(&mecab_new) create;
    decltype(&mecab_strerror) error;
    decltype(&mecab_dictionary_info) dictionary;
    decltype(&mecab_sparse_tonode2) parse;
    decltype(&mecab_destroy) destroy;
    mecab_t *mecab = nullptr;

    // Empty if every function was found, else what is wrong.
    QString open()
    {
        QLibrary library(QStringLiteral("mecab"), 2);
        const auto find = [&library](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            return function != nullptr;
        };
        if (find(create, "mecab_new") && find(error, "mecab_strerror") && find(dictionary, "mecab_dictionary_info")
            && find(parse, "mecab_sparse_tonode2") && find(destroy, "mecab_destroy"))
            return QString();
        return library.errorString();
    }
};

Analyser::Analyser()
    : m_tagger(new Tagger)
{
    if (m_why = m_tagger->open(); !m_why.isEmpty())
        return;
    // The dictionary named, not the system's default (which may be another,
    // with its readings elsewhere), and no configuration file of its own.
    const char *args[] = {"pokotama", "-r", "/dev/null", "-d", POKOTAMA_MECAB_DICTIONARY};
    mecab_t *mecab = m_tagger->create(int(std::size(args)), const_cast<char **>(args));
    if (!mecab) {
        m_why = QString::fromUtf8(m_tagger->error(nullptr));
        return;
    }
    const mecab_dictionary_info_t *info = m_tagger->dictionary(mecab);
    const QByteArray charset = info ? QByteArray(info->charset).toLower() : QByteArray();
    if (charset != "utf8" && charset != "utf-8") {
        m_why = QStringLiteral("%1 is not in UTF-8").arg(QStringLiteral(POKOTAMA_MECAB_DICTIONARY));
        m_tagger->destroy(mecab);
        return;
    }
    m_tagger->mecab = mecab;
}

Analyser::~Analyser()
{
    if (m_tagger->mecab)
        m_tagger->destroy(m_tagger->mecab);
    delete m_tagger;
}

QString Analyser::read(const QString &text)
{
    if (!m_tagger->mecab)
        return QString();
    const QByteArray bytes = text.toUtf8();
    const mecab_node_t *node = m_tagger->parse(m_tagger->mecab, bytes.constData(), size_t(bytes.size()));
    if (!node)
        return text;
    // Word by word; what MeCab skips between words (ASCII spaces) is kept.
    QString read;
    const char *done = bytes.constData();
    for (; node; node = node->next) {
        if (node->stat != MECAB_NOR_NODE && node->stat != MECAB_UNK_NODE)
            continue;
        read += QString::fromUtf8(done, node->surface - done);
        const QString word = QString::fromUtf8(node->surface, node->length);
        const QString reading = hasKanji(word) ? readingOf(node->feature) : QString();
        read += reading.isEmpty() ? word : reading;
        done = node->surface + node->length;
    }
    read += QString::fromUtf8(done, bytes.constData() + bytes.size() - done);
    return read;
}

Readings::Readings(bool on, std::function<bool()> listening)
    : m_on(on)
    , m_listening(std::move(listening))
{
}

Readings::~Readings() = default;

void Readings::learn(const QStringList &texts)
{
    if (!m_on)
        return;
    for (const QString &text : texts) {
        const QString line = text.trimmed();
        if (hasKanji(line) && !m_known.contains(line))
            m_waiting << line;
    }
    if (!m_listening || m_listening())
        readWaiting();
}

void Readings::readWaiting() const
{
    if (m_waiting.isEmpty() || m_broken)
        return;
    if (!m_analyser) {
        m_analyser = std::make_unique<Analyser>();
        // Without its dictionary the game still plays, its texts said as shown.
        if (!m_analyser->ready()) {
            std::fprintf(stderr, "pokotama: no kana readings for the screen reader: %s\n",
                         m_analyser->why().toLocal8Bit().constData());
            m_broken = true;
            m_waiting.clear();
            return;
        }
    }
    for (const QString &line : std::exchange(m_waiting, {})) {
        if (!m_known.contains(line)) {
            m_known.insert(line, m_analyser->read(line));
            ++m_analysed;
        }
    }
}

QString Readings::of(const QString &text) const
{
    if (!m_waiting.isEmpty() && (!m_listening || m_listening()))
        readWaiting();
    return m_known.value(text.trimmed(), text);
}

QStringList ReadingPlatform::readLines(const QString &path)
{
    QStringList lines = m_platform.readLines(path);
    m_readings.learn(lines);
    return lines;
}

} // namespace reading
