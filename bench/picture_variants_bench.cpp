// Pictures made for every screen at publishing: a site of 100 photos of
// 1,600 by 1,200 pixels shown 400 pixels wide, rendered the first time (every
// variant made) and the second time with nothing changed (every variant taken
// from the cache), beside decoding and encoding the same pictures once with
// Qt in a bare loop (the floor: making a variant cannot take less). Then the
// second publish of that site to a folder beside a publish that sends nothing
// and makes no variants (goal: within 1.2 times).

#include "bench_support.h"
#include "document/file_io.h"
#include "document/page_file.h"
#include "publish/publish.h"
#include "render/render_site.h"
#include "web_picture.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kPictures = 100;

struct PictureSite {
    QTemporaryDir dir;
    std::string project = dir.filePath("site").toStdString() + "/";
    std::vector<std::string> pictures;

    PictureSite() {
        QDir().mkpath(QString::fromStdString(project + "images"));
        std::string body;
        for (int i = 0; i < kPictures; ++i) {
            // A photo-like picture: gradients and circles, so it compresses
            // as photos do, not as a flat colour.
            QImage image(1600, 1200, QImage::Format_RGB32);
            QPainter painter(&image);
            QLinearGradient gradient(0, 0, 1600, 1200);
            gradient.setColorAt(0, QColor::fromHsv((i * 37) % 360, 180, 220));
            gradient.setColorAt(1, QColor::fromHsv((i * 91) % 360, 120, 90));
            painter.fillRect(image.rect(), gradient);
            for (int c = 0; c < 60; ++c) {
                painter.setBrush(QColor::fromHsv((i * 13 + c * 29) % 360, 200, 200, 120));
                painter.drawEllipse(QPoint((c * 173 + i * 31) % 1600, (c * 97 + i * 17) % 1200),
                                    40 + c % 90, 30 + c % 70);
            }
            painter.end();
            const std::string name = "images/photo" + std::to_string(i) + ".jpg";
            if (!image.save(QString::fromStdString(project + name), "JPEG", 85)) {
                bench::Fail("cannot write " + name);
            }
            pictures.push_back(project + name);
            body += "<img src=\"" + name + "\" width=\"400\" height=\"300\" alt=\"Photo " +
                    std::to_string(i) + "\">";
        }
        qf::WritePageFile(project + "index.html",
                          "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
                          "<html><head><title>Photos</title></head><body>" +
                              body +
                              "<!---End_Body---!><!---declare_begin---!><!---////---!>"
                              "<!---declare_end---!></body></html>");
    }
};

// Each picture decoded and encoded once at 400 and 800 pixels, as WebP and
// JPEG: the work the first rendering cannot avoid.
double BareQt(const std::vector<std::string>& pictures) {
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : pictures) {
        QImageReader reader(QString::fromStdString(path));
        const QImage image = reader.read();
        for (const int width : {400, 800}) {
            const QImage scaled = image.scaledToWidth(width, Qt::SmoothTransformation);
            for (const char* format : {"webp", "jpeg"}) {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                QImageWriter writer(&buffer, format);
                writer.write(scaled);
                benchmark::DoNotOptimize(buffer.data().size());
            }
        }
    }
    return bench::MsSince(start);
}

double TimedExport(const PictureSite& site, const std::string& out,
                   const qf::render::PictureWork& work, int expect_variants) {
    const auto start = std::chrono::steady_clock::now();
    const qf::render::ExportReport report = qf::render::ExportSite(site.project, out, work);
    const double ms = bench::MsSince(start);
    if (report.variants < expect_variants) {
        bench::Fail("the export made " + std::to_string(report.variants) + " variants");
    }
    return ms;
}

double TimedPublish(const PictureSite& site, const std::string& folder,
                    const qf::render::PictureWork& work, int expect_sent) {
    qf::publish::Target target;
    target.name = "bench";
    target.url = folder;
    qf::publish::PublishOptions options;
    options.pictures = work;
    const auto start = std::chrono::steady_clock::now();
    const qf::publish::PublishReport report =
        qf::publish::Publish(site.project, target, options, {});
    const double ms = bench::MsSince(start);
    if (expect_sent >= 0 && report.sent != expect_sent) {
        bench::Fail("the publish sent " + std::to_string(report.sent) + " files, not " +
                    std::to_string(expect_sent));
    }
    return ms;
}

void PicturesForEveryScreen(benchmark::State& state) {
    const PictureSite site;
    std::vector<double> bare, first, second, publish_again, publish_plain;
    int round = 0;
    for (auto _ : state) {
        ++round;
        QTemporaryDir scratch;
        qf::render::PictureWork work = qf::ImagePictureWork();
        work.cache_folder = scratch.filePath("cache").toStdString();
        bare.push_back(BareQt(site.pictures));
        first.push_back(TimedExport(site, scratch.filePath("out1").toStdString(), work, 1));
        second.push_back(TimedExport(site, scratch.filePath("out2").toStdString(), work, 0));

        const std::string folder = scratch.filePath("published").toStdString();
        TimedPublish(site, folder, work, -1);
        publish_again.push_back(TimedPublish(site, folder, work, 0));
        const std::string plain = scratch.filePath("plain").toStdString();
        TimedPublish(site, plain, {}, -1);
        publish_plain.push_back(TimedPublish(site, plain, {}, 0));
    }
    state.counters["bare_qt_ms"] = bench::Median(bare);
    state.counters["first_ms"] = bench::Median(first);
    state.counters["second_ms"] = bench::Median(second);
    state.counters["publish_again_ms"] = bench::Median(publish_again);
    state.counters["publish_plain_ms"] = bench::Median(publish_plain);
    const double ratio =
        bench::Median(publish_again) / std::max(bench::Median(publish_plain), 1e-6);
    state.counters["publish_ratio"] = ratio;
    std::printf("%d pictures: first render %.0f ms, second %.0f ms, bare Qt %.0f ms (first/bare "
                "%.2f); second publish %.0f ms, publish sending nothing without variants %.0f ms, "
                "ratio %.2f (goal: within 1.2)\n",
                kPictures, bench::Median(first), bench::Median(second), bench::Median(bare),
                bench::Median(first) / std::max(bench::Median(bare), 1e-6),
                bench::Median(publish_again), bench::Median(publish_plain), ratio);
}
BENCHMARK(PicturesForEveryScreen)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
