// The "Create HDR" dialog's widgets and the callbacks that only grey widgets in and out.
#include "hdr/create_hdr_dialog.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Float_Input.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Slider.H>

#include <cstring>

#include "core/dialog_callbacks.h"
#include "hdr/hdr_output_types.h"

namespace {

CreateHDRDialog* dialog_of(Fl_Widget* w) {
  return w ? dynamic_cast<CreateHDRDialog*>(w->window()) : nullptr;
}

constexpr Fl_Menu_Item item(const char* label, Fl_Callback* cb, int flags = 0) {
  return {label, 0, cb, nullptr, flags, FL_NORMAL_LABEL, 0, 14, 0};
}
constexpr Fl_Menu_Item k_end_of_menu = {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0};

void enable(Fl_Widget* w, bool on) {
  if (on)
    w->activate();
  else
    w->deactivate();
}

}  // namespace

CreateHDRDialog::CreateHDRDialog(int width, int height, const char* title)
    : Fl_Double_Window(0, 0, width, height, title) {
  force_position(0);

  // The items are copied into each choice, so greying one dialog's items leaves the
  // tables (and any other dialog) alone.
  static const Fl_Menu_Item variation_items[] = {
      item("Read from EXIF", cb_variation_step, FL_MENU_DIVIDER),
      item("1/3 F-stop", cb_variation_step),
      item("2/3 F-stop", cb_variation_step),
      item("1 F-stop", cb_variation_step, FL_MENU_DIVIDER),
      item("1 1/3 F-stop", cb_variation_step),
      item("1 2/3 F-stop", cb_variation_step),
      item("2 F-stop", cb_variation_step, FL_MENU_DIVIDER),
      item("2 1/3 F-stop", cb_variation_step),
      item("2 2/3 F-stop", cb_variation_step),
      item("3 F-stop", cb_variation_step, FL_MENU_DIVIDER),
      item("Other ...", cb_variation_other),
      k_end_of_menu};
  static const Fl_Menu_Item response_items[] = {
      item("sRGB", cb_response_fixed),
      item("Linear", cb_response_fixed, FL_MENU_DIVIDER),
      item("Recover new response", cb_response_fixed),
      item("Use recovered response", cb_response_stored, FL_MENU_DIVIDER),
      item("Choose response", cb_response_stored),
      item("Enter response", cb_response_enter),
      k_end_of_menu};

  exposure_variation = new Fl_Choice(199, 57, 166, 25, "Exposure Variation:");
  exposure_variation->tooltip("Exposure step size between the successive images.");
  exposure_variation->copy(variation_items);
  exposure_variation->value(0);  // "Read from EXIF"

  camera_response = new Fl_Choice(166, 15, 199, 25, "Camera Response:");
  camera_response->tooltip("Radiometric response of the camera that captured the images.");
  camera_response->copy(response_items);
  camera_response->value(2);

  options_group = new Fl_Group(35, 112, 380, 80, "Options");
  options_group->box(FL_ENGRAVED_BOX);
  use_tiles = new Fl_Check_Button(53, 164, 80, 13, "Use tiles");
  use_tiles->callback(cb_use_tiles);
  reduce_noise = new Fl_Check_Button(144, 164, 115, 13, "Reduce noise");
  align_images = new Fl_Check_Button(270, 164, 135, 13, "Align images");
  exposure_ratio = new Fl_Float_Input(225, 124, 85, 25, "Exposure ratio:");
  exposure_ratio->tooltip(
      "Enter the custom exposure ratio between the input images in linear units");
  exposure_ratio->deactivate();
  options_group->end();

  create_button = new Fl_Button(372, 415, 74, 25, "Create");
  create_button->callback(cb_create);
  cancel_button = new Fl_Button(294, 415, 74, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);

  batch_group = new Fl_Group(2, 218, 445, 193);
  batch_group->box(FL_ENGRAVED_BOX);
  exposures_per_hdr = new Fl_Value_Slider(165, 255, 109, 21, "Exposures per HDR:");
  exposures_per_hdr->type(FL_HOR_NICE_SLIDER);
  exposures_per_hdr->align(FL_ALIGN_LEFT);
  exposures_per_hdr->tooltip(
      "Number of exposures that should be assembled into a single HDR images.");
  exposures_per_hdr->range(2, 20);
  exposures_per_hdr->step(1);
  exposures_per_hdr->value(k_exposures_per_hdr_start);
  exposures_per_hdr->deactivate();
  autodetect = new Fl_Check_Button(17, 234, 260, 15, "Autodetect exposures to combine");
  autodetect->value(1);
  autodetect->callback(cb_autodetect);
  tone_map = new Fl_Check_Button(293, 231, 88, 15, "Tonemap");
  tone_map->tooltip("Tonemap after creating HDR image");
  tone_map->callback(cb_tone_map);
  save_both = new Fl_Round_Button(293, 250, 96, 15, "Save both");
  save_both->type(FL_RADIO_BUTTON);
  save_both->value(1);
  save_both->callback(cb_save_both);
  save_both->deactivate();
  save_only_ldr = new Fl_Round_Button(293, 270, 120, 15, "Save only LDR");
  save_only_ldr->type(FL_RADIO_BUTTON);
  save_only_ldr->callback(cb_save_only_ldr);
  save_only_ldr->deactivate();

  output_group = new Fl_Group(12, 292, 426, 114);
  output_group->box(FL_ENGRAVED_BOX);
  destination = new Fl_Input(18, 315, 331, 25, "Destination Directory");
  destination->align(FL_ALIGN_TOP_LEFT);
  browse_button = new Fl_Button(354, 315, 74, 25, "Browse...");
  browse_button->callback(cb_browse);
  hdr_save_type = new Fl_Choice(333, 345, 95, 25, "HDR Save Type:");
  for (const Output_type& t : k_hdr_output_types) hdr_save_type->add(t.item);
  hdr_save_type->value(0);
  ldr_save_type = new Fl_Choice(333, 373, 95, 25, "LDR Save Type:");
  for (const Output_type& t : k_ldr_output_types) ldr_save_type->add(t.item);
  ldr_save_type->value(0);
  ldr_save_type->deactivate();
  base_name = new Fl_Input(109, 358, 75, 25, "Base Name:");
  base_name->tooltip(
      "Base name of the HDR image. If this is \"image\", the created images will be named "
      "\"image1\", \"image2\", etc.");
  base_name->value("image");
  output_group->end();
  batch_group->end();

  plot_button = new Fl_Button(371, 15, 41, 25, "Plot");
  plot_button->callback(cb_plot);
  plot_button->deactivate();
  batch_caption = new Fl_Box(165, 199, 120, 17, "Batch Options");

  end();
  set_modal();
}

Fl_Menu_Item* CreateHDRDialog::find_item(Fl_Choice* choice, const char* label) {
  if (!choice || !label) return nullptr;
  const Fl_Menu_Item* items = choice->menu();
  for (int i = 0; items && i < choice->size(); ++i)
    if (items[i].label() && std::strcmp(items[i].label(), label) == 0)
      return const_cast<Fl_Menu_Item*>(&items[i]);
  return nullptr;
}

void CreateHDRDialog::cb_variation_step(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) d->exposure_ratio->deactivate();
}

void CreateHDRDialog::cb_variation_other(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) d->exposure_ratio->activate();
}

void CreateHDRDialog::cb_response_fixed(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) d->plot_button->deactivate();
}

void CreateHDRDialog::cb_response_stored(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) d->plot_button->activate();
}

void CreateHDRDialog::cb_response_enter(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) d->enter_response();
}

void CreateHDRDialog::cb_use_tiles(Fl_Widget* w, void*) {
  CreateHDRDialog* d = dialog_of(w);
  if (!d) return;
  // Only greys the two: the assembly reads their state either way.
  const bool on = d->use_tiles->value() != 0;
  enable(d->reduce_noise, !on);
  enable(d->align_images, !on);
}

void CreateHDRDialog::cb_autodetect(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) enable(d->exposures_per_hdr, !d->autodetect->value());
}

void CreateHDRDialog::cb_tone_map(Fl_Widget* w, void*) {
  CreateHDRDialog* d = dialog_of(w);
  if (!d) return;
  const bool on = d->tone_map->value() != 0;
  enable(d->save_only_ldr, on);
  enable(d->save_both, on);
  enable(d->ldr_save_type, on);
}

void CreateHDRDialog::cb_save_only_ldr(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) enable(d->hdr_save_type, !d->save_only_ldr->value());
}

void CreateHDRDialog::cb_save_both(Fl_Widget* w, void*) {
  CreateHDRDialog* d = dialog_of(w);
  if (d && d->save_both->value()) d->hdr_save_type->activate();
}

void CreateHDRDialog::cb_browse(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) d->browse_destination();
}

void CreateHDRDialog::cb_create(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) d->create();
}

void CreateHDRDialog::cb_plot(Fl_Widget* w, void*) {
  if (CreateHDRDialog* d = dialog_of(w)) d->plot_response();
}
