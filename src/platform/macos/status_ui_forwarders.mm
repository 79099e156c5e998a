// The status item, its menu, the notification panel, the message window and alerts on
// AppKit (Apple build only, ARC). What to show and where is decided by MacUserInterface;
// this file only makes the AppKit objects. Main thread only.
#import <AppKit/AppKit.h>

#include "platform/macos/apple_forwarders.h"
#include "platform/macos/objc_text.h"

using hovra::platform::macos::MenuCommand;

// Receives the menu's picks and its opening.
@interface HovraMenuTarget : NSObject <NSMenuDelegate>
- (instancetype)initWithChosen:(std::function<void(MenuCommand)>)chosen
                      willOpen:(std::function<void()>)willOpen;
- (void)choose:(NSMenuItem*)sender;
@end

@implementation HovraMenuTarget {
  std::function<void(MenuCommand)> _chosen;
  std::function<void()> _willOpen;
}
- (instancetype)initWithChosen:(std::function<void(MenuCommand)>)chosen
                      willOpen:(std::function<void()>)willOpen {
  if ((self = [super init])) {
    _chosen = std::move(chosen);
    _willOpen = std::move(willOpen);
  }
  return self;
}
- (void)choose:(NSMenuItem*)sender {
  if (_chosen) _chosen(static_cast<MenuCommand>(sender.tag));
}
- (void)menuWillOpen:(NSMenu*)menu {
  (void)menu;
  if (_willOpen) _willOpen();
}
@end

// The panel's content: every click lands here, closes the panel, then tells.
@interface HovraPanelView : NSView
- (void)setClicked:(std::function<void()>)clicked;
@end

@implementation HovraPanelView {
  std::function<void()> _clicked;
}
- (void)setClicked:(std::function<void()>)clicked {
  _clicked = std::move(clicked);
}
- (NSView*)hitTest:(NSPoint)point {
  return NSPointInRect([self convertPoint:point fromView:self.superview], self.bounds) ? self : nil;
}
- (BOOL)acceptsFirstMouse:(NSEvent*)event {
  (void)event;
  return YES;  // the program is never the active one
}
- (void)mouseDown:(NSEvent*)event {
  (void)event;
  [self.window close];
  std::function<void()> clicked = _clicked;
  if (clicked) clicked();
}
@end

namespace hovra::platform::macos {
namespace {

constexpr CGFloat kPanelWidth = 320;
constexpr CGFloat kPanelHeight = 72;
constexpr CGFloat kTextWindowWidth = 380;
constexpr CGFloat kTextWindowHeight = 160;
constexpr CGFloat kMargin = 12;

NSString* Text(std::string_view text) {
  NSString* string = NsString(text);
  return string != nil ? string : @"";
}

NSMenu* BuildMenu(std::span<const MenuItem> items, HovraMenuTarget* target) {
  NSMenu* menu = [[NSMenu alloc] initWithTitle:@""];
  for (const MenuItem& item : items) {
    if (item.IsSeparator()) {
      [menu addItem:NSMenuItem.separatorItem];
      continue;
    }
    const bool acts = item.command != MenuCommand::kNone;
    NSMenuItem* entry =
        [menu addItemWithTitle:Text(item.title)
                        action:(acts ? @selector(choose:) : nullptr)keyEquivalent:@""];
    if (acts) {
      entry.target = target;
      entry.tag = static_cast<NSInteger>(item.command);
    }
    if (!item.submenu.empty()) entry.submenu = BuildMenu(item.submenu, target);
  }
  return menu;
}

NSTextField* AddLabel(NSView* view, bool selectable) {
  NSTextField* label = [NSTextField wrappingLabelWithString:@""];
  label.selectable = selectable;
  label.frame = NSInsetRect(view.bounds, kMargin, kMargin / 2);
  label.autoresizingMask = NSViewWidthSizable | NSViewHeightSizable;
  [view addSubview:label];
  return label;
}

class AppleStatusUiCalls : public StatusUiCalls {
 public:
  void InstallStatusItem(std::span<const MenuItem> menu, std::string_view imageName,
                         std::string_view toolTip, std::function<void(MenuCommand)> chosen,
                         std::function<void()> willOpen) override {
    item_ = [NSStatusBar.systemStatusBar statusItemWithLength:NSVariableStatusItemLength];
    NSImage* image = [NSImage imageNamed:Text(imageName)];
    if (image != nil) {
      [image setTemplate:YES];  // drawn in the menu bar's colours
      item_.button.image = image;
    } else {
      item_.button.title = @"Hovra";
    }
    item_.button.toolTip = Text(toolTip);
    target_ = [[HovraMenuTarget alloc] initWithChosen:std::move(chosen)
                                             willOpen:std::move(willOpen)];
    menu_ = BuildMenu(menu, target_);
    menu_.delegate = target_;
    item_.menu = menu_;
  }

  void SetItemState(MenuCommand command, bool on) override {
    [menu_ itemWithTag:static_cast<NSInteger>(command)].state =
        on ? NSControlStateValueOn : NSControlStateValueOff;
  }

  double MenuBarThickness() override { return NSStatusBar.systemStatusBar.thickness; }

  double PanelWidth() override { return Panel().frame.size.width; }

  void ShowPanel(std::string_view message, double left, double top, double alpha,
                 std::function<void()> clicked) override {
    NSPanel* panel = Panel();
    [panel setFrameTopLeftPoint:NSMakePoint(left, top)];
    panel.alphaValue = alpha;
    panelText_.stringValue = Text(message);
    panel.movable = NO;
    [panel setIsVisible:YES];
    [panelView_ setClicked:std::move(clicked)];
  }

  void ClosePanel() override { [panel_ close]; }

  bool PanelVisible() override { return panel_ != nil && panel_.visible; }

  void ShowTextWindow(std::string_view text) override {
    if (textWindow_ == nil) {
      textWindow_ = [[NSWindow alloc]
          initWithContentRect:NSMakeRect(0, 0, kTextWindowWidth, kTextWindowHeight)
                    styleMask:NSWindowStyleMaskTitled | NSWindowStyleMaskClosable
                      backing:NSBackingStoreBuffered
                        defer:YES];
      textWindow_.releasedWhenClosed = NO;
      textWindow_.title = @"Hovra Server";
      [textWindow_ center];
      windowText_ = AddLabel(textWindow_.contentView, true);
    }
    windowText_.stringValue = Text(text);
    [textWindow_ setIsVisible:YES];
    [textWindow_ makeKeyWindow];
    [textWindow_ orderFrontRegardless];
  }

  int RunAlert(std::string_view message, std::string_view informative,
               const std::vector<std::string_view>& buttons) override {
    NSAlert* alert = [[NSAlert alloc] init];
    alert.messageText = Text(message);
    alert.informativeText = Text(informative);
    for (std::string_view button : buttons) [alert addButtonWithTitle:Text(button)];
    [NSApp activateIgnoringOtherApps:YES];  // an alert of an inactive program hides otherwise
    return static_cast<int>([alert runModal]);
  }

 private:
  NSPanel* Panel() {
    if (panel_ != nil) return panel_;
    NSRect frame = NSMakeRect(0, 0, kPanelWidth, kPanelHeight);
    panel_ = [[NSPanel alloc]
        initWithContentRect:frame
                  styleMask:NSWindowStyleMaskBorderless | NSWindowStyleMaskNonactivatingPanel
                    backing:NSBackingStoreBuffered
                      defer:YES];
    panel_.releasedWhenClosed = NO;
    panel_.hidesOnDeactivate = NO;  // the program is never active: it would never show
    panel_.level = NSStatusWindowLevel;
    panel_.hasShadow = YES;
    panelView_ = [[HovraPanelView alloc] initWithFrame:frame];
    panel_.contentView = panelView_;
    panelText_ = AddLabel(panelView_, false);
    return panel_;
  }

  NSStatusItem* item_ = nil;  // the status bar keeps only a weak reference
  NSMenu* menu_ = nil;
  HovraMenuTarget* target_ = nil;
  NSPanel* panel_ = nil;
  HovraPanelView* panelView_ = nil;
  NSTextField* panelText_ = nil;
  NSWindow* textWindow_ = nil;
  NSTextField* windowText_ = nil;
};

}  // namespace

StatusUiCalls& AppleStatusUi() {
  static AppleStatusUiCalls calls;
  return calls;
}

}  // namespace hovra::platform::macos
