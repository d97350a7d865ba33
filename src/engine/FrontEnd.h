#pragma once
// What the engine's dialog logic needs of the window it runs in: questions, error
// messages and a chance to handle pending events. Each front end (desktop window,
// console) implements it; the tests use fakes.

#include <string>

namespace lorvane {

class IFrontEnd {
public:
    virtual ~IFrontEnd() = default;

    // A question with the buttons Ja and Nein; true for Ja. Texts use "\r\n" as the
    // line break.
    virtual bool FrageJaNein(const std::string& text) = 0;
    // An error message with the button OK.
    virtual void FehlerZeigen(const std::string& text) = 0;
    // Handles what is pending: the front end's own events (buttons, keys, signals).
    // Called between steps of long work, which runs in the caller's thread.
    virtual void EreignisseVerarbeiten() = 0;
};

} // namespace lorvane
