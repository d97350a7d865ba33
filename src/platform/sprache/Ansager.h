#pragma once
// Texts for the screen reader. The windows announce through this interface; the
// driver that reaches a running screen reader stands behind it.

#include <QString>

namespace lorvane {

class IAnsager {
public:
    virtual ~IAnsager() = default;
    virtual void Sprechen(const QString& text) = 0;
};

// Says nothing: for a program without a screen-reader driver.
class TStummerAnsager : public IAnsager {
public:
    void Sprechen(const QString&) override {}
};

} // namespace lorvane
