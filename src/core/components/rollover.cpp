#include "components/rollover.h"

#include "document/page_text.h"
#include "error.h"

#include <QFile>
#include <QSaveFile>

namespace qf {

bool PageTakesRollover(std::string_view page) {
    return CountOccurrences(DeclarationBlockText(page), "<!---Roll_Img") == 0 &&
           page.find("<!---Begin_Roll_Img") == std::string_view::npos;
}

void CopyRolloverScript(const std::string& app_folder, const std::string& target_folder) {
    const std::string source_path = app_folder + std::string(kRolloverScriptFile);
    const std::string target_path = target_folder + std::string(kRolloverScriptFile);
    QFile source(QString::fromStdString(source_path));
    if (!source.open(QIODevice::ReadOnly)) {
        throw CommandError("Cannot open file \"" + source_path + "\". " +
                           source.errorString().toStdString());
    }
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        throw CommandError("Cannot read file \"" + source_path + "\". " +
                           source.errorString().toStdString());
    }
    QSaveFile target(QString::fromStdString(target_path));
    if (!target.open(QIODevice::WriteOnly)) {
        throw CommandError("Cannot create file \"" + target_path + "\". " +
                           target.errorString().toStdString());
    }
    if (target.write(bytes) != bytes.size()) {
        const std::string reason = target.errorString().toStdString();
        target.cancelWriting();
        throw CommandError("Cannot write file \"" + target_path + "\". " + reason);
    }
    if (!target.commit()) {
        throw CommandError("Cannot write file \"" + target_path + "\". " +
                           target.errorString().toStdString());
    }
}

void AddRolloverScriptReference(std::string& page) {
    if (page.find(kRolloverScriptReference) != std::string::npos) {
        return;
    }
    const std::size_t head_end = page.find("</head>");
    if (head_end == std::string::npos) {
        throw CommandError("This page has no \"</head>\" to take the rollover script");
    }
    page.insert(head_end, kRolloverScriptReference);
}

} // namespace qf
