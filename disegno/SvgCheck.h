#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Qt's SVG renderer draws an <image> from the file its link names, with the
// rights of whoever runs it, and an embedded SVG picture may name files in
// turn. A drawing made for this program must stand alone.

// Why `svg` (SVG text) is not drawn, or nothing: an <image> that names a
// file, or one whose embedded picture is not PNG, JPEG, GIF or BMP.
QString svgOutsideReference(const QByteArray &svg);

// `bytes` unpacked from gzip (an .svgz file), when they are gzip data that
// unpacks to at most `limit` bytes.
std::optional<QByteArray> gunzip(const QByteArray &bytes, qsizetype limit);
