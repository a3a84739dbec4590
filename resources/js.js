// Rollover images for pages made with Quenfort Website Developer.
//
// A rollover link calls
//   onMouseOver="SwitchImg('document.y','document.y','over.gif')"
//   onMouseOut="RestoreImg()"
// SwitchImg takes its arguments in threes: the image to change (named as
// 'document.NAME' or plain 'NAME'), a second name that is not used, and the
// picture to show. RestoreImg shows every changed image's first picture again.

var quenfortSwapped = [];

function quenfortFindImage(name) {
  var key = String(name);
  if (key.indexOf("document.") === 0) {
    key = key.substring(9);
  }
  if (document.images && document.images[key]) {
    return document.images[key];
  }
  var named = document.getElementsByName ? document.getElementsByName(key) : [];
  for (var i = 0; i < named.length; i++) {
    if (named[i].tagName && named[i].tagName.toUpperCase() === "IMG") {
      return named[i];
    }
  }
  return document.getElementById ? document.getElementById(key) : null;
}

function SwitchImg() {
  var args = arguments;
  for (var i = 0; i + 2 < args.length; i += 3) {
    var image = quenfortFindImage(args[i]);
    if (!image) {
      continue;
    }
    var known = false;
    for (var j = 0; j < quenfortSwapped.length; j++) {
      if (quenfortSwapped[j].image === image) {
        known = true;
      }
    }
    if (!known) {
      quenfortSwapped.push({ image: image, source: image.src });
    }
    image.src = args[i + 2];
  }
}

function RestoreImg() {
  for (var i = 0; i < quenfortSwapped.length; i++) {
    quenfortSwapped[i].image.src = quenfortSwapped[i].source;
  }
  quenfortSwapped = [];
}
