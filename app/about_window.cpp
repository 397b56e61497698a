#include "app/about_window.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/decorative_picture.h"

namespace vorthal {
namespace {

const char* const kContactLines = "<b>Vorthal Data Recovery</b><br>"
                                  "数据库文件恢复服务 (SQL SERVER MDF)<br><br>"
                                  "电话 Phone: +1 (555) 010-4823<br>"
                                  "邮箱 E-mail: support@vorthal.example.com<br>"
                                  "网站 Web: https://www.vorthal.example.com<br><br>"
                                  "硬盘、分区与镜像的专业数据恢复。<br>"
                                  "请勿向原数据所在盘写入任何文件。";

} // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName("AboutWindow");
    setWindowTitle("关于(ABOUT)");
    setModal(false);

    auto* picture = new QLabel(this);
    picture->setObjectName("aboutPicture");
    picture->setPixmap(DrawRecoveryPicture(QSize(150, 200)));

    auto* contact = new QLabel(kContactLines, this);
    contact->setObjectName("aboutContact");
    contact->setTextFormat(Qt::RichText);
    contact->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* content = new QHBoxLayout;
    content->addWidget(picture);
    content->addWidget(contact, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(content);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

} // namespace vorthal
