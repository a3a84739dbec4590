#include "about/about_dialog.h"

#include "about/system_info.h"
#include "about/version.h"
#include "services/icons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

namespace {

QLabel* Named(QLabel* label, const char* name, bool bold = false) {
    label->setObjectName(name);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

} // namespace

TForm90::TForm90(QWidget* parent) : ToolDialog("About", "About", parent) {
    setObjectName("TForm90");
    auto* image = Named(new QLabel(this), "Image1");
    image->setPixmap(ProductPicture(57));
    image->setFixedSize(57, 57);

    // The program's one version, as --version prints it.
    auto* title = Named(new QLabel(QString("Quenfort Website Developer v%1").arg(kVersion), this),
                        "Label5", true);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    title->setFont(big);

    title->setTextInteractionFlags(Qt::TextSelectableByMouse);

    os_ = Named(new QLabel("OS", this), "OS");
    phys_mem_ = Named(new QLabel("PhysMem", this), "PhysMem");
    for (QLabel* value : {os_, phys_mem_}) {
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        value->setMinimumWidth(300);
    }

    auto* facts = new QGridLayout;
    facts->setHorizontalSpacing(8);
    facts->addWidget(Named(new QLabel("Operating System:", this), "Label1", true), 0, 0,
                     Qt::AlignTop);
    facts->addWidget(os_, 0, 1);
    facts->addWidget(Named(new QLabel(" Physical Memory:", this), "Label2", true), 1, 0,
                     Qt::AlignTop);
    facts->addWidget(phys_mem_, 1, 1);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addSpacing(6);
    text->addLayout(facts);

    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    row->addWidget(image, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    Body()->addLayout(row);

    QPushButton* close = AddButton("Close", "Button1");
    close->setDefault(true);
    close->setAutoDefault(true);
    close->setToolTip("Close the about box (Esc)");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm90::showEvent(QShowEvent* event) {
    ToolDialog::showEvent(event);
    os_->setText(QString::fromStdString(OsLine(CurrentOsVersion())));
    phys_mem_->setText(QString::fromStdString(CurrentMemoryLine()));
}

bool OpenAbout(Workspace&, QWidget* parent) {
    TForm90 dialog(parent);
    dialog.exec();
    return false;
}

} // namespace qf
