#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

// What a later start of Tessary asks of the running one, as one line on the instance socket:
// "show", then for each APK to install a space and its file URL (percent-encoded, so a name
// with spaces or line breaks stays inside its item), then a line feed.
namespace InstanceRequest {

// The whole line, line feed included, for these absolute paths.
QByteArray encode(const QStringList &apks);

// The APKs of one request line (without its line feed); none for a line that is not a request.
std::optional<QStringList> decode(const QByteArray &line);

} // namespace InstanceRequest
