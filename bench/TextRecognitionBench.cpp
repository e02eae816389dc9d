// SPDX-License-Identifier: GPL-3.0-or-later
// Text recognition of screenshot-like images with known text: a 1600x1000 window and two 4K
// screens. Warm runs keep one recognizer (as the application does); cold runs load the engines
// every time, as the `tesseract` command must. Each run reports its character error rate.
//
// Extra modes, used by bench/tesseract-peer.sh and by hand:
//   --write-inputs=<dir>          writes <name>.png and <name>.txt (the known lines) per image,
//                                 and set-<font>-<screen>.png per screen of the test set drawn
//                                 in each common interface font
//   --peer-cer=<name>:<tsv file>  character error rate of the command's TSV output for <name>,
//                                 its lines put in the same reading order as ours
//   --peer-set=<dir>              per font and per screen of the test set, our error rate beside
//                                 that of the command's output in <dir>/set-<font>-<screen>.tsv
//   --variants                    error rate and time of each preparation step on and off,
//                                 over the test set and the benchmark images
//   --read-set[=<dir>]            each test-set screen's error rate and reading (its image
//                                 saved in <dir>)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include "../tests/support/InterfaceFonts.h"
#include "../tests/support/OcrScreens.h"
#include "core/text/TextRecognizer.h"

using namespace tarn;

namespace {

const std::map<std::string, OcrScreens::Screen> &images()
{
    static const std::map<std::string, OcrScreens::Screen> all{
        {"window1600", OcrScreens::desktop1600()},
        {"screen4k", OcrScreens::fullScreen4k()},
        {"busy4k", OcrScreens::busyScreen4k()},
    };
    return all;
}

void warm(benchmark::State &state, const std::string &name)
{
    static TextRecognizer recognizer;
    const auto &screen = images().at(name);
    RecognitionResult result = recognizer.recognize(screen.image); // engines loaded before timing
    for (auto _ : state)
        result = recognizer.recognize(screen.image);
    state.counters["cer"] = OcrScreens::characterErrorRate(screen, result);
    state.counters["lines"] = double(result.regions.size());
}

// The same with one engine, so that the gain of reading blocks on several cores shows.
void oneEngine(benchmark::State &state, const std::string &name)
{
    RecognitionOptions options;
    options.engines = 1;
    static TextRecognizer recognizer(defaultTessdataDirectory(), options);
    const auto &screen = images().at(name);
    RecognitionResult result = recognizer.recognize(screen.image);
    for (auto _ : state)
        result = recognizer.recognize(screen.image);
    state.counters["cer"] = OcrScreens::characterErrorRate(screen, result);
}

void cold(benchmark::State &state, const std::string &name)
{
    const auto &screen = images().at(name);
    RecognitionResult result;
    for (auto _ : state) {
        TextRecognizer recognizer;
        result = recognizer.recognize(screen.image);
    }
    state.counters["cer"] = OcrScreens::characterErrorRate(screen, result);
}

BENCHMARK_CAPTURE(warm, window1600, "window1600")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_CAPTURE(warm, screen4k, "screen4k")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(warm, busy4k, "busy4k")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(oneEngine, busy4k, "busy4k")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(cold, window1600, "window1600")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(cold, screen4k, "screen4k")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(cold, busy4k, "busy4k")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// A test-set screen's name in a font as a file name: "Korean dialog, path" in Noto Sans as
// "set-Noto-Sans-Korean-dialog--path".
QString setFileName(const char *family, const OcrScreens::Screen &screen)
{
    QString name = QString::fromLatin1(family) + u'-' + screen.name;
    for (QChar &c : name)
        c = c.isLetterOrNumber() || c == u'.' ? c : u'-';
    return QStringLiteral("set-") + name;
}

int writeInputs(const QString &folder)
{
    QDir().mkpath(folder);
    for (const char *family : TestSupport::interfaceFamilies)
        for (const auto &screen : OcrScreens::testSet(QString::fromLatin1(family)))
            if (!screen.image.save(folder + u'/' + setFileName(family, screen) + QStringLiteral(".png")))
                return 1;
    for (const auto &[name, screen] : images()) {
        const QString base = folder + u'/' + QString::fromStdString(name);
        QFile text(base + QStringLiteral(".txt"));
        if (!screen.image.save(base + QStringLiteral(".png")) || !text.open(QIODevice::WriteOnly))
            return 1;
        text.write(OcrScreens::expectedLines(screen).join(u'\n').toUtf8() + '\n');
    }
    return 0;
}

// The command's reading from its TSV (level 5 rows are words, grouped by block, paragraph and
// line), each line boxed by its words, then put in our reading order. Nothing when the file is
// missing.
std::optional<RecognitionResult> commandReading(const QString &path, QSize imageSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::map<std::tuple<int, int, int, int>, RecognizedLine> lines;
    std::vector<std::tuple<int, int, int, int>> order;
    QTextStream in(&file);
    in.readLine(); // header
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u'\t');
        if (f.size() < 12 || f[0] != u"5")
            continue;
        const auto key = std::make_tuple(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
        const QRect box(f[6].toInt(), f[7].toInt(), f[8].toInt(), f[9].toInt());
        auto [it, fresh] = lines.try_emplace(key, RecognizedLine{"", box, 1});
        if (fresh)
            order.push_back(key);
        else
            it->second.box |= box;
        it->second.text += (it->second.text.empty() ? "" : " ") + f[11].toStdString();
    }
    std::vector<RecognizedLine> ordered;
    for (const auto &key : order)
        ordered.push_back(lines[key]);
    RecognitionResult result;
    result.regions = regionsFromLines(ordered, imageSize);
    return result;
}

int peerCharacterErrorRate(const std::string &argument)
{
    const size_t colon = argument.find(':');
    const auto &screen = images().at(argument.substr(0, colon));
    const auto reading = commandReading(QString::fromStdString(argument.substr(colon + 1)), screen.image.size());
    if (!reading)
        return 1;
    std::printf("%.4f\n", OcrScreens::characterErrorRate(screen, *reading));
    return 0;
}

// Our error rate and the command's on each screen of the test set in each font, and pooled per font.
int peerTestSet(const QString &folder)
{
    TextRecognizer recognizer;
    std::vector<std::pair<OcrScreens::ErrorTally, OcrScreens::ErrorTally>> pooled;
    std::printf("%-22s", "screen: ours / cmd");
    for (const char *family : TestSupport::interfaceFamilies)
        std::printf(" %16.16s", family);
    std::printf("\n");
    std::vector<std::vector<OcrScreens::Screen>> sets;
    for (const char *family : TestSupport::interfaceFamilies)
        sets.push_back(OcrScreens::testSet(QString::fromLatin1(family)));
    pooled.resize(sets.size());
    for (size_t screen = 0; screen < sets.front().size(); ++screen) {
        std::printf("%-22s", qPrintable(sets.front()[screen].name));
        for (size_t f = 0; f < sets.size(); ++f) {
            const OcrScreens::Screen &drawn = sets[f][screen];
            const auto theirs = commandReading(folder + u'/' + setFileName(TestSupport::interfaceFamilies[f], drawn) +
                                                   QStringLiteral(".tsv"),
                                               drawn.image.size());
            if (!theirs)
                return 1;
            const OcrScreens::ErrorTally mine = OcrScreens::errors(drawn, recognizer.recognize(drawn.image)),
                                         command = OcrScreens::errors(drawn, *theirs);
            pooled[f].first += mine;
            pooled[f].second += command;
            std::printf("  %6.4f / %6.4f", mine.rate(), command.rate());
        }
        std::printf("\n");
    }
    std::printf("\n%-18s %9s %9s\n", "font (pooled)", "our CER", "cmd CER");
    for (size_t f = 0; f < sets.size(); ++f)
        std::printf("%-18s %9.4f %9.4f\n", TestSupport::interfaceFamilies[f], pooled[f].first.rate(),
                    pooled[f].second.rate());
    return 0;
}

// Each preparation step against its absence, on every generated screen.
int variants()
{
    struct Variant {
        const char *name;
        RecognitionOptions options;
    };
    RecognitionOptions plain;
    plain.findBlocks = false;
    plain.hideControls = false;
    plain.upscaleBelowLineHeight = 0;
    plain.invertLightOnDark = false;
    plain.layout = PageLayout::automatic;
    plain.singleLineBlocks = false;
    plain.retryLatinWords = false;
    plain.rereadKoreanWords = false;
    auto with = [](RecognitionOptions o, auto change) {
        change(o);
        return o;
    };
    const RecognitionOptions best;
    const std::vector<Variant> list{
        {"whole image, automatic layout", plain},
        {"whole image, sparse layout", with(plain, [](auto &o) { o.layout = PageLayout::sparse; })},
        {"whole image, upscaled", with(plain, [](auto &o) { o.upscaleBelowLineHeight = 40; })},
        {"blocks",
         with(plain,
              [](auto &o) {
                  o.findBlocks = true;
                  o.layout = PageLayout::singleBlock;
              })},
        {"blocks + one-line layout",
         with(plain,
              [](auto &o) {
                  o.findBlocks = true;
                  o.layout = PageLayout::singleBlock;
                  o.singleLineBlocks = true;
              })},
        {"all but upscaling", with(best, [](auto &o) { o.upscaleBelowLineHeight = 0; })},
        {"all but inversion", with(best, [](auto &o) { o.invertLightOnDark = false; })},
        {"all but one-line layout", with(best, [](auto &o) { o.singleLineBlocks = false; })},
        {"all but Latin retry", with(best, [](auto &o) { o.retryLatinWords = false; })},
        {"all but Korean re-reading", with(best, [](auto &o) { o.rereadKoreanWords = false; })},
        {"all but hiding controls", with(best, [](auto &o) { o.hideControls = false; })},
        {"all (default)", best},
    };
    std::vector<OcrScreens::Screen> screens = OcrScreens::testSet();
    for (const auto &[name, screen] : images())
        if (name != "screen4k") // already in the test set
            screens.push_back(screen);
    std::printf("%-30s", "variant");
    for (const auto &screen : screens)
        std::printf(" %9.9s", qPrintable(screen.name));
    std::printf(" %9s %9s\n", "pooled", "total ms");
    for (const auto &variant : list) {
        TextRecognizer recognizer(defaultTessdataDirectory(), variant.options);
        recognizer.recognize(screens.front().image); // load the engines outside the timing
        OcrScreens::ErrorTally pooled;
        double milliseconds = 0;
        std::printf("%-30s", variant.name);
        for (const auto &screen : screens) {
            const RecognitionResult result = recognizer.recognize(screen.image);
            const OcrScreens::ErrorTally tally = OcrScreens::errors(screen, result);
            pooled += tally;
            milliseconds += result.milliseconds;
            std::printf(" %9.4f", tally.rate());
            std::fflush(stdout);
        }
        std::printf(" %9.4f %9.0f\n", pooled.rate(), milliseconds);
    }
    return 0;
}

// Each screen of the test set read with the default options: its error rate and its text.
int readTestSet(const QString &folder)
{
    TextRecognizer recognizer;
    OcrScreens::ErrorTally pooled;
    for (const auto &screen : OcrScreens::testSet()) {
        if (!folder.isEmpty())
            screen.image.save(folder + u'/' + QString(screen.name).replace(u' ', u'-') + QStringLiteral(".png"));
        const RecognitionResult result = recognizer.recognize(screen.image);
        const OcrScreens::ErrorTally tally = OcrScreens::errors(screen, result);
        pooled += tally;
        std::printf("== %s  CER %.4f  %.0f ms\n%s\n", qPrintable(screen.name), tally.rate(), result.milliseconds,
                    result.text().c_str());
    }
    std::printf("== pooled CER %.4f\n", pooled.rate());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text needs the font database
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-inputs=", 15) == 0)
            return writeInputs(QString::fromLocal8Bit(argv[i] + 15));
        if (std::strncmp(argv[i], "--peer-cer=", 11) == 0)
            return peerCharacterErrorRate(argv[i] + 11);
        if (std::strncmp(argv[i], "--peer-set=", 11) == 0)
            return peerTestSet(QString::fromLocal8Bit(argv[i] + 11));
        if (std::strcmp(argv[i], "--variants") == 0)
            return variants();
        if (std::strncmp(argv[i], "--read-set", 10) == 0)
            return readTestSet(argv[i][10] == '=' ? QString::fromLocal8Bit(argv[i] + 11) : QString());
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
