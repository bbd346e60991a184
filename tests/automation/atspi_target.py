#!/usr/bin/env python3
# A small GTK 3 window for the accessibility tests, one column: a button, a
# ticked check box, a text entry, a slider and a button that cannot be used.
import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

window = Gtk.Window(title="Alvo AT-SPI")
column = Gtk.Box(orientation=Gtk.Orientation.VERTICAL, spacing=8)
button = Gtk.Button(label="Botão")
check = Gtk.CheckButton(label="Caixa")
check.set_active(True)
entry = Gtk.Entry()
entry.set_text("texto inicial")
entry.get_accessible().set_name("Campo")
slider = Gtk.Scale.new_with_range(Gtk.Orientation.HORIZONTAL, 0, 100, 1)
slider.set_value(30)
slider.get_accessible().set_name("Volume")
disabled = Gtk.Button(label="Desligado")
disabled.set_sensitive(False)
for widget in (button, check, entry, slider, disabled):
    column.pack_start(widget, False, False, 0)
window.add(column)
window.set_default_size(300, 260)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
