// The page in WebKitGTK's MiniBrowser (selenium-webdriver over
// WebKitWebDriver, under xvfb-run): the checks every engine gets
// (engines.mjs), and a start without a gesture (?autostart), where WebKit
// keeps the audio context suspended as Safari does: the demo plays on the
// page's clock until a tap lets the music join in; and the loading bar
// from a server that compresses.
import { compressedLoadSuite, engineSuite, silentSuite } from './engines.mjs';

engineSuite('webkit');
silentSuite('webkit', { launchOptions: { sound: true }, query: '?autostart&trace&stats', whenSoundComes: async () => {} });
compressedLoadSuite('webkit');
