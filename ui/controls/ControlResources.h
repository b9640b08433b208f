#pragma once

// Pictures and sounds of the controls, looked up by the numeric resource ids
// the dialogs use. A picture id N is the Qt resource ":/bitmaps/N.png" (icons:
// ":/icons/N.png", sounds: ":/sounds/N.wav"); the control library draws its own
// artwork (the title strip's banner and signal bars) when no such file exists.

#include <QImage>
#include <QString>

#include <cstdint>

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

namespace ulv {

enum class ResourceStatus { Loaded, Missing, Unreadable };

QImage LoadBitmapResource(int id, ResourceStatus* status = nullptr);
QImage LoadIconResource(int id, ResourceStatus* status = nullptr);
// Any path or resource name; Missing when it does not exist.
QImage LoadImageFile(const QString& path, ResourceStatus* status = nullptr);
QString SoundResourcePath(int id);
// The string-table entry N: the text of ":/strings/N.txt"; empty when there is none.
QString LoadStringResource(int id);

// The pictures of several ids through one loader, in order; an id of 0 or less
// gives a null image. Nothing when one of them exists but cannot be read.
using ResourceLoader = QImage (*)(int id, ResourceStatus* status);
std::optional<std::vector<QImage>> LoadResourceImages(ResourceLoader load, std::initializer_list<int> ids);

// Plays a sound file or Qt resource. The default player hands the file to
// "aplay" when it is installed and is silent otherwise; tests install their own.
using SoundPlayer = std::function<void(const QString& source, bool async)>;
void PlaySoundFile(const QString& source, bool async);
SoundPlayer SetSoundPlayer(SoundPlayer player);

// Milliseconds since an arbitrary start, wrapping like a tick count.
std::uint32_t TickCount();

} // namespace ulv
