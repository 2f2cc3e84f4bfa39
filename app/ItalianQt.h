#pragma once

#include <QTranslator>

// Qt's own texts (the scroll bar's menu, the standard buttons) in Italian
// whatever the user's locale: the program speaks nothing else. The
// translation is the one in the program folder's "translations" folder,
// where Qt travels with the program (Windows), or else the one Qt installs
// beside itself; while an object of this class lives, it is installed in the
// application.
class ItalianQt
{
public:
    ItalianQt();
    ~ItalianQt();

    ItalianQt(const ItalianQt &) = delete;
    ItalianQt &operator=(const ItalianQt &) = delete;

    bool loaded() const { return loaded_; }

private:
    QTranslator translator_;
    bool loaded_ = false;
};
