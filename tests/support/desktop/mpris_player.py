'''An MPRIS player as a dbusmock template, named org.mpris.MediaPlayer2.<HOVRA_MPRIS_NAME>;
HangSeconds makes every player method answer that late.'''

import os

import dbus

BUS_NAME = 'org.mpris.MediaPlayer2.' + os.environ.get('HOVRA_MPRIS_NAME', 'hovra')
MAIN_OBJ = '/org/mpris/MediaPlayer2'
MAIN_IFACE = 'org.mpris.MediaPlayer2'
PLAYER_IFACE = 'org.mpris.MediaPlayer2.Player'
SYSTEM_BUS = False


def load(mock, parameters):
    hang = parameters.get('HangSeconds', 0)
    body = f'time.sleep({hang})' if hang else ''
    mock.AddMethods(PLAYER_IFACE, [(name, '', '', body) for name in
                                   ('PlayPause', 'Play', 'Pause', 'Next', 'Previous', 'Stop')])
    mock.AddProperties(MAIN_IFACE, dbus.Dictionary({
        'Identity': 'Test player',
        'DesktopEntry': parameters.get('DesktopEntry', ''),
        'CanSetFullscreen': parameters.get('CanSetFullscreen', False),
        'Fullscreen': False,
    }, signature='sv'))
    mock.AddProperties(PLAYER_IFACE, dbus.Dictionary({
        'PlaybackStatus': parameters.get('PlaybackStatus', 'Stopped'),
        'Volume': dbus.Double(parameters.get('Volume', 0.5)),
        'CanControl': True,
    }, signature='sv'))
