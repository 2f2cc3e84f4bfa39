#pragma once

#include <QAbstractButton>
#include <QPointer>
#include <QRadioButton>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>

// One control name whose elements are addressed by a 16-bit index and share
// one click handler that receives the index. Element 0 is created by the
// window; Load() makes a new element as a copy of element 0 (all properties
// but index, tab index and visibility: a new element starts hidden).
template <typename Button> class ControlArray
{
public:
    using ClickHandler = std::function<void(std::int16_t)>;

    explicit ControlArray(QString name) : name_(std::move(name)) {}

    const QString &name() const { return name_; }
    void setClickHandler(ClickHandler handler) { handler_ = std::move(handler); }

    // Takes a design-time element, owned by its Qt parent.
    void add(std::int16_t index, Button *element)
    {
        if (contains(index))
            throw std::logic_error(describe(index) + " already exists");
        element->setObjectName(name_);
        element->setProperty("index", index);
        wire(index, element);
        elements_[index] = element;
    }

    // Creates element `index` from element 0, beside it in the same parent.
    Button &Load(std::int16_t index)
    {
        if (contains(index))
            throw std::logic_error(describe(index) + " already exists");
        const Button &model = (*this)(0);
        auto *element = new Button(model.parentWidget());
        element->copyPropertiesFrom(model);
        element->setVisible(false);
        add(index, element);
        return *element;
    }

    // Removes element `index`; element 0 belongs to the window and stays.
    void Unload(std::int16_t index)
    {
        if (index == 0)
            throw std::logic_error(describe(index) + " cannot be removed");
        Button &element = (*this)(index);
        elements_.erase(index);
        delete &element; // owned by its Qt parent until now
    }

    Button &operator()(std::int16_t index) const
    {
        const auto found = elements_.find(index);
        if (found == elements_.end() || found->second.isNull())
            throw std::out_of_range(describe(index) + " does not exist");
        return *found->second;
    }

    bool contains(std::int16_t index) const
    {
        const auto found = elements_.find(index);
        return found != elements_.end() && !found->second.isNull();
    }

    int count() const { return static_cast<int>(elements_.size()); }

private:
    std::string describe(std::int16_t index) const
    {
        return name_.toStdString() + "(" + std::to_string(index) + ")";
    }

    void wire(std::int16_t index, Button *element)
    {
        if constexpr (std::is_base_of_v<QRadioButton, Button>) {
            // An option reports a click when it becomes the selected one.
            QObject::connect(element, &QAbstractButton::toggled, element, [this, index](bool on) {
                if (on && handler_)
                    handler_(index);
            });
        } else {
            QObject::connect(element, &QAbstractButton::clicked, element, [this, index] {
                if (handler_)
                    handler_(index);
            });
        }
    }

    QString name_;
    std::map<std::int16_t, QPointer<Button>> elements_;
    ClickHandler handler_;
};
