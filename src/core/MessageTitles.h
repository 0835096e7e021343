#pragma once

#include <QString>

// The titles of the program's message boxes, each in one place for the windows and the transfers.
// Inline, so a constant defined after this header is included may be initialised from them.
namespace MessageTitles {
inline const QString kError = QStringLiteral("错误提示");
inline const QString kNotice = QStringLiteral("提示");
// The notice shown once at start, before the series is chosen.
inline const QString kStartNotice = QStringLiteral("提示：");
inline const QString kSuccess = QStringLiteral("成功");
inline const QString kCableFound = QStringLiteral("通讯电缆已连接");
inline const QString kCableNotFound = QStringLiteral("通讯电缆连接失败");
inline const QString kConnectionFailed = QStringLiteral("连接失败");
inline const QString kTestSucceeded = QStringLiteral("测试成功");
} // namespace MessageTitles
