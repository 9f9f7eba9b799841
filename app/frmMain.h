#pragma once

// The main window: the spider plot with its colour legend and view buttons, and the holder of
// the document state that every other window reads and writes.

#include "app/Document.h"
#include "app/Player.h"

#include "platform/controls.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "platform/window.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace platform {
class SqlDatabase;
}

/// The views that follow the document besides the spider plot; the one whose command changed
/// the document is repainted where its command's order puts it.
enum class DocumentView { SpiderPlot, ForceField, Graph };

/// Whether a command's own view is repainted after the spider plot (the edits) or before it,
/// at once (the Show commands of the force field and the graph, and the releases on them: the
/// view the user works in reaches the screen first).
enum class RepaintOrder { SpiderPlotFirst, OwnViewFirst };

/// The main window holds the document (its players, links, count, flags and file name) as
/// the one Document value it derives from; the rest of its state belongs to the window.
class frmMain : public platform::WindowClass<frmMain>, public Document {
public:
    // --- State besides the document ---
    int32_t Current = 0;
    /// Set by a path that has just appended Player(Current): the editor then keeps its layout
    /// values instead of loading the empty record. The editor clears it when it opens.
    bool CurrentIsNew = false;
    int32_t AverageColour = 0;
    bool Swinging = false;
    bool ffing = false;
    /// The page setup of the main window's and the force field's Page Setup and Print.
    platform::PrinterSetup p;
    /// The associated database, attached when a document that has one was read.
    std::unique_ptr<platform::SqlDatabase> db;
    platform::File WorkingFolderSave;
    std::optional<platform::File> WorkingFolderSaveOriginal;
    bool PrefsFileChanged = false;
    /// Set by the save prompt when its caller may go on: "No", or "OK" with the document
    /// saved. Escape, the close box and a save that did not happen leave it clear.
    bool SavePromptGoOn = false;

    // --- Mapping state of the spider plot ---
    float ScaleFactorx = 0;
    float ScaleFactorY = 0;
    int32_t Offsetx = 0;
    int32_t offsety = 0;

    // --- Pointer state ---
    int32_t closest = 0;
    int32_t Linker = 0;
    int32_t clickx = 0;
    int32_t clicky = 0;
    int32_t dragx = 0;
    int32_t dragy = 0;
    bool Moving = false;
    /// The player whose box the pointer's button holds for a move (-1: none): its lines are
    /// drawn as the part of the plot that the release will likely change.
    int32_t Held = -1;

    // --- Controls ---
    platform::Canvas* Canvas1 = nullptr;
    platform::PushButton* pbMove = nullptr;
    platform::PushButton* PushButton1 = nullptr;
    platform::Canvas* Canvas2 = nullptr;
    platform::StaticText* StaticText1 = nullptr;
    platform::StaticText* StaticText2 = nullptr;
    platform::ContextualMenu* ContextualMenu1 = nullptr;
    platform::PushButton* PushButton2 = nullptr;
    platform::PushButton* PushButton3 = nullptr;
    platform::StaticText* stSwing = nullptr;

    // --- Control events ---
    // The map's mouse, keys and contextual menu: spider/frmMain_pointer.cpp.
    bool Canvas1_KeyDown(const std::string& key);
    void Canvas1_MouseUp(const platform::MouseEvent& e);
    void Canvas1_MouseDrag(const platform::MouseEvent& e);
    bool Canvas1_MouseDown(const platform::MouseEvent& e);
    void ContextualMenu1_Open();
    void ContextualMenu1_Action(const std::string& item);
    // The paints of the map and of its colour legend: spider/frmMain_paint.cpp.
    void Canvas1_Paint(platform::Graphics& g);
    void Canvas2_Paint(platform::Graphics& g);
    // The four view buttons: spider/frmMain_view_buttons.cpp.
    void pbMove_Action();
    void PushButton1_Action();
    void PushButton2_Action();
    void PushButton3_Action();

    // --- Window events ---
    // Opening (the start-up) and closing (the quit): app/frmMain_lifecycle.cpp.
    void Event_Open() override;
    bool Event_CancelClose() override;
    void Event_Close() override;
    // A new size: spider/frmMain_mapping.cpp.
    void Event_Resized() override;
    // The menu items it enables: app/frmMain.cpp.
    void Event_EnableMenuItems() override;

    // --- Menu handlers ---
    // New: app/frmMain_lifecycle.cpp.
    void _FileNew_Action();
    // Open, Save, Save As and Export Data: app/frmMain_files.cpp.
    void _FileSaveSet_Action();
    void _FileOpen_Action();
    void _FileSave_Action();
    void _FileExportData_Action();
    // Print, Page Setup and Save as Picture of the map: spider/frmMain_print.cpp.
    void _FilePrint_Action();
    void _FilePageSetup_Action();
    void _FileSaveasPicture_Action();
    // The Show menu: spider/frmMain_show_commands.cpp.
    void _ShowSwingometer_Action();
    void _ShowMakeHarder_Action();
    void _ShowMorePolarized_Action();
    void _ShowMakeEasier_Action();

    // --- Mapping between model units and pixels: spider/frmMain_mapping.cpp ---
    float Distance(float x1, float y1, float x2, float y2) const;
    int32_t plotx(int32_t v) const;
    int32_t ploty(int32_t v) const;
    int32_t unplotx(int32_t s) const;
    int32_t unploty(int32_t s) const;

    /// The centre from the corner with the half sizes mapped to model units (after a click
    /// edit on the spider plot or the graph, and on resizing).
    void CentreFromCornerInModelUnits(::Player& p) const;
    /// Moves a box that would start or end off the spider plot's canvas, as the paint draws
    /// it, onto the canvas as far as it fits there, and its centre with it: a new box, and one
    /// the user moved, are stored where they are seen. Nothing before the first paint has set
    /// the mapping.
    void KeepBoxOnCanvas(::Player& p) const;
    /// The part of the model space that the canvas shows at every size: as much as a canvas of
    /// the window's design size shows, one unit a pixel. A new diagram and the players that the
    /// other views add are placed within it.
    static constexpr int32_t kShownModelWidth = 756;
    static constexpr int32_t kShownModelHeight = 582;
    /// Sets the mapping for drawing on a canvas of W by H pixels: the shown model space spread
    /// over it, no offset. The boxes are laid out on that canvas (BoxOnCanvas).
    void SetMapping(int32_t W, int32_t H);
    /// Where the box of `p` is drawn, in the canvas's pixels: its corner mapped, then moved as
    /// little as it takes to lie whole on the canvas of the last mapping (against its left or
    /// top edge when it is larger). Whatever the corner stored, from a file or a window of
    /// another size, the box is seen whole; the stored corner is left as it is.
    platform::Rect BoxOnCanvas(const ::Player& p) const;
    /// How far BoxOnCanvas moved the box of `p` from its mapped corner, in pixels; its lines
    /// end at its centre moved as far.
    std::pair<int32_t, int32_t> ShiftOnCanvas(const ::Player& p) const;
    /// The player whose box is drawn on top at the canvas pixel (x, y), or -1 over no box: the
    /// central issue lies over every other box, and a later player over an earlier one.
    int32_t PlayerAt(int32_t x, int32_t y) const;
    /// Whether any of player i's box is seen: some of it not under boxes drawn over it.
    bool IsInSight(int32_t i) const;

    // --- Changes of the document: app/frmMain_document.cpp ---
    /// The one place that says the document changed (a new or opened document, a player added,
    /// edited or deleted, a Show command, the sliders' write-back). Repaints the views that
    /// exist and never builds one: the spider plot with its legend, the swing-o-meter while it
    /// is shown, the force field and the graph; `own`, the view whose command made the change,
    /// before or after the spider plot as `order` says. The data table reads its rows again.
    void DocumentChanged(DocumentView own = DocumentView::SpiderPlot,
                         RepaintOrder order = RepaintOrder::SpiderPlotFirst);
    /// Puts `fresh` in place of the whole document: nothing of the document before survives.
    /// The views are told by DocumentReplaced once the caller has finished with it.
    void ReplaceDocument(Document fresh);
    /// A whole document was put in place (New, Open): every player gets an identity of its
    /// own, an open sliders window is built afresh on it, then DocumentChanged.
    void DocumentReplaced();
    /// Appends an empty player linked to the central issue, with an identity of its own, and
    /// makes it Current and new for the player editor. The caller checks the player limit.
    void AppendPlayer();
    /// The index of the player with this identity, or -1 when it is no longer in the document.
    int32_t IndexOfPlayer(uint64_t identity) const;

    // --- Document life and files ---
    // The save prompt's callers, New and the preferences file: app/frmMain_lifecycle.cpp.
    /// Start-up: takes the recorded file from the preferences file, or makes the file when it
    /// is missing, telling the user when it cannot be made. A file that cannot be read, or is
    /// larger than any preferences file, records the home folder.
    void ReadOrCreatePrefsFile();
    /// Asks to save unsaved changes (the save prompt). False when the user backed out of the
    /// prompt (Escape, its close box) or chose to save and the document was not saved: the
    /// caller then stops, and the document stays as it is, unsaved changes and all.
    bool OfferToSave();
    /// Starts a new diagram with its central issue; at start-up the editor is titled
    /// "Define central issue" and has no "Linked to main player" box.
    void NewDiagram(bool atStartUp);
    // The data file and the associated database: app/frmMain_files.cpp.
    /// The open dialog and the reader; `atStartUp` chooses the wording of the missing-database
    /// message. Returns whether a document was read; when not (the dialog cancelled, the file
    /// refused, after telling the user), the document is as it was.
    bool OpenTheLot(bool atStartUp);
    /// Writes the document to `f`, which is then the file last used and the one whose changes by
    /// other programs Save looks for; false (after telling the user) when the file could not be
    /// written, which leaves FileChanged and the old file as they were (see
    /// platform::File::writeAll for the one case it cannot cover: the program killed while it
    /// rewrites a file in place).
    bool WriteTheLot(const platform::File& f);
    /// Save As: asks for a file and writes it; once written, the title names it.
    void SaveTheLot();
    /// The file the next start-up's open dialog offers: the one last opened or written.
    void RecordFileUsed(const platform::File& f);
    /// Whether Save may write over the document's file `f`: true when it stands as the
    /// document last read or wrote it, or is gone; otherwise the user is asked whether to
    /// replace what another program put there, and "No" (the default) keeps both.
    bool MayReplace(const platform::File& f);
    /// Closes the associated database, if one is attached.
    void CloseDatabase();

    // --- The window's layout, its buttons and its title: app/frmMain.cpp ---
    /// Keeps the colour legend, its labels and the average clear of the view buttons: beside
    /// them in a window wide enough for both, above them in a narrower one.
    void PlaceLegend();

    /// The main window's smallest size: the view buttons' row and a canvas to draw on.
    static constexpr int32_t kMinimumWidth = 360;
    static constexpr int32_t kMinimumHeight = 240;

    /// Enables the four view buttons, in the order Force Field, Sliders, Table, Graph.
    void EnableViewButtons();
    /// "Varnholt", or "Varnholt - " and the name of the file that Save writes.
    void SetTitleForFile(const std::string& fileName);

protected:
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;

private:
    friend class platform::WindowClass<frmMain>;
    frmMain();
    ~frmMain() override;

    /// The last identity given to a player.
    uint64_t mLastIdentity = 0;
    /// Where PlaceLegend last put the legend.
    bool mLegendAboveButtons = false;
    /// The canvas size that the last mapping was set for.
    int32_t mMappedWidth = 0;
    int32_t mMappedHeight = 0;
};
