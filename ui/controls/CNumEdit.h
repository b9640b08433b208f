#pragma once

#include "ui/core/NumericText.h"

#include <QLineEdit>

namespace ulv {

// An edit box holding one float within a range. Every keystroke is checked: a
// text that is not a number or lies outside the range puts the previous value
// back, selected (after a message when errors are shown). Values are written
// with as many decimal places as the values seen so far needed.
class CNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CNumEdit(QWidget* parent = nullptr);

    virtual bool ChangeAmount(int steps);
    virtual float GetDelta() const { return m_delta; }
    virtual void SetDelta(float delta) { m_delta = delta; }
    virtual void GetRange(float& minimum, float& maximum) const;
    virtual void SetRange(float minimum, float maximum);
    virtual bool GetShowErrors() const { return m_showErrors; }
    virtual void SetShowErrors(bool show) { m_showErrors = show; }
    // A NumTextValidity code for a text or for the box's own text; codes 1
    // and 2 show their message when errors are shown.
    virtual int IsValid(const QString& text) const;
    virtual int IsValid() const;
    // Refused (false, text unchanged) outside the range.
    virtual bool SetValue(float value);
    // The box's value, or the minimum when its text is not a valid number.
    virtual float GetValue() const;
    // "%.<n>f" for a value, raising the decimal places when it needs more.
    virtual QString BuildFormat(float value);

    int GetDecimalPlaces() const { return m_decimalPlaces; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_decimalPlaces = 0;
    bool m_showErrors = false;
    float m_delta = 1.0f;
    float m_minimum = kNumEditLowest;
    float m_maximum = kNumEditHighest;
};

} // namespace ulv
