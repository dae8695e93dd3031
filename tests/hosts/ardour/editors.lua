-- A session for Ardour's window: one track that holds the three native plug-ins with editors,
-- saved on the dummy backend's "Silence", the device the window's engine will run.
-- The environment names the session folder (SESSION_DIR).
io.stdout:setvbuf("no")

local backend = AudioEngine:set_backend("None (Dummy)", "", "")
backend:set_device_name("Silence")
local session = create_session(os.getenv("SESSION_DIR"), "editors", 48000)
assert(session, "no session")
session:new_audio_track(2, 2, nil, 1, "editors", ARDOUR.PresentationInfo.max_order,
                        ARDOUR.TrackMode.Normal, true)
local track = session:route_by_name("editors"):to_track()
for i, name in ipairs({"Lanter5", "Lanter5 Gain", "Lanter5 Strip"}) do
  local plugin = ARDOUR.LuaAPI.new_plugin(session, name, ARDOUR.PluginType.LXVST, "")
  assert(not plugin:isnil(), "plug-in not found: " .. name)
  assert(track:add_processor_by_index(plugin, i - 1, nil, true) == 0, "plug-in not added: " .. name)
  print("added " .. name)
end
session:save_state("", false, false, false, false, false)
close_session()
quit()
