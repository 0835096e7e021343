#include "Form5.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
// The six texts in the order they are shown, each for the label of the same position in kTextLabels.
const char *const kTextLabels[6] = {"Label5", "Label6", "Label7", "Label8", "Label9", "Label4"};

QStringList instructionTexts()
{
    return {
        QStringLiteral(
            "    "
            "本软件适用于HYL“RQX”系列全站仪串口通讯，主要功能：1、坐标数据接收，全站仪的坐标数据传到计算机；"
            "2、坐标数据发送，坐标数据由计算机发送到全站仪；3、测量数据接收，测量数据从全站仪传到计算机；"
            "4、文件格式转换，坐标数据不同格式的转换。注意事项："),
        QStringLiteral("    1、请使用HYL随机通讯线，全站仪和计算机两端连接头要插牢固；"),
        QStringLiteral("    2、查看计算机通讯端口配置，正确设置COM参数；"),
        QStringLiteral("    3、“坐标数据”或“测量数据”接收时，计算机上先点击“接收”，全站仪再按“发送”；"
                       "坐标数据发送时，全站仪先按“接收”，计算机再点击“发送”；"),
        QStringLiteral("    4、如果将数据保存为CAD格式，请再保存一份其他格式的文件，以方便查看和留存；"),
        QStringLiteral("    5、初次操作失败，可尝试重启全站仪和本软件再试。"),
    };
}
} // namespace

Form5::Form5(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("HYL-串口通讯软件"));
    setModal(false);

    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < 6; ++i) {
        m_texts[i] = new QLabel(QStringLiteral("说明"), this);
        m_texts[i]->setObjectName(QLatin1String(kTextLabels[i]));
        m_texts[i]->setWordWrap(true);
        layout->addWidget(m_texts[i]);
    }
    layout->addSpacing(12);
    const QString lines[3] = {QStringLiteral("HYL"), QStringLiteral("技术支持：请与仪器经销商联系"),
                              QStringLiteral("发布日期：2015年10月30日")};
    for (int i = 0; i < 3; ++i) {
        auto *line = new QLabel(lines[i], this);
        line->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        line->setAlignment(Qt::AlignRight);
        layout->addWidget(line);
    }
    setMinimumWidth(520);
}

void Form5::showInstructions()
{
    const QStringList texts = instructionTexts();
    for (int i = 0; i < 6; ++i)
        m_texts[i]->setText(texts.at(i));
    show();
    raise();
    activateWindow();
}
