#pragma once

#include <QMargins>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <functional>

#include "ui/controller/PresentationController.h"

namespace ovira {

class NavigationController;
class NavigationItem;

// A screen: a widget with the life of a phone screen. Containers (the
// navigation container, presentations) load it, forward its appearance and
// own it; it can present other screens modally over the window, each in a
// layer of its own above everything else. GUI thread only.
class ViewController : public QWidget {
    Q_OBJECT
public:
    enum class Appearance { disappeared, appearing, appeared, disappearing };

    explicit ViewController(QWidget* parent = nullptr);
    ~ViewController() override;

    // Life. viewDidLoad runs once, before the screen is first shown.
    bool isViewLoaded() const { return loaded_; }
    void loadViewIfNeeded();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated); }
    // Containers call these around showing or hiding a screen; repeated
    // calls for the same change are ignored.
    void beginAppearanceTransition(bool isAppearing, bool animated);
    void endAppearanceTransition();
    Appearance appearance() const { return appearance_; }
    // The screen whose appearance follows this one's (a container's visible screen).
    virtual ViewController* appearanceChild() const { return nullptr; }

    // Containment.
    void addChildViewController(ViewController* child);
    void removeFromParentViewController();
    NavigationController* navigationController() const;
    NavigationItem* navigationItem();

    // Presentation. The presented screen is owned by the presentation and
    // deleted once it has been dismissed. A screen that already presents
    // one presents the next from the top of its chain.
    void present(ViewController* screen, bool animated, std::function<void()> completion = {});
    // Dismisses the screen this one (or its container) presents; without
    // one, the presentation of this screen (or of its container).
    void dismiss(bool animated, std::function<void()> completion = {});
    ViewController* presentedViewController() const { return presented_; }

    // A widget with this property set to true keeps the presentations made
    // from inside it within its own area (a flow embedded in a host's panel);
    // otherwise they cover the window.
    static constexpr const char* presentationHostProperty = "oviraPresentationHost";
    // The widget a presentation from `presenter` covers.
    static QWidget* presentationHost(QWidget* presenter);
    ViewController* presentingViewController() const { return presenting_; }
    bool isBeingPresented() const { return beingPresented_; }
    bool isBeingDismissed() const { return beingDismissed_; }
    PresentationController* presentationController() const { return presentationController_; }
    // How a full-screen presentation of this screen comes in and goes.
    enum class ModalTransitionStyle { coverVertical, crossDissolve };
    ModalTransitionStyle modalTransitionStyle() const { return modalTransition_; }
    void setModalTransitionStyle(ModalTransitionStyle style) { modalTransition_ = style; }

    // Insets that keep content clear of what covers the screen's edges;
    // applied as the widget's contents margins.
    virtual QMargins additionalSafeAreaInsets() const { return {}; }
    QMargins safeAreaInsets() const { return contentsMargins(); }
    // The widest the screen's content may be; on a wider screen the content
    // keeps this width, centred (0: no limit).
    void setMaximumContentWidth(int width);

    // The Escape key, not taken by a control: what leaves this screen the
    // way its close or cancel control would. Returns whether it did
    // anything; otherwise the key goes on to the screen underneath.
    virtual bool didPressEscape() { return false; }

Q_SIGNALS:
    // The screen's presentation has ended: it has left the screen and goes
    // with its layer at the next turn of the event loop.
    void didDismiss();

protected:
    // The controller of one presentation of this screen; the base covers the
    // window (sheets and alerts lay themselves out differently).
    virtual PresentationController* makePresentationController(ViewController* presenting);
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void applySafeArea();

private:
    ViewController* presentationContext();
    void dismissPresented(bool animated, std::function<void()> completion);
    void finishPresentation(std::function<void()> completion);
    void finishDismissal(std::function<void()> completion);
    void tearDownPresentation();

    bool loaded_ = false;
    Appearance appearance_ = Appearance::disappeared;
    bool appearanceAnimated_ = false;
    QPointer<ViewController> parentController_;
    NavigationItem* navigationItem_ = nullptr;
    int maximumContentWidth_ = 0;
    ModalTransitionStyle modalTransition_ = ModalTransitionStyle::coverVertical;

    // Modal presentation, from both ends.
    QPointer<ViewController> presented_;
    QPointer<ViewController> presenting_;
    QPointer<PresentationController> presentationController_;
    bool beingPresented_ = false;
    bool beingDismissed_ = false;
    // Where the keyboard's focus was when this screen was presented; it
    // goes back there when the screen has gone.
    QPointer<QWidget> focusBeforePresentation_;
};

}  // namespace ovira
